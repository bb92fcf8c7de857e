#pragma once
#include <QDialog>
#include <string_view>
#include <vector>

#include "core/engines/EngineIndex.h"

class QPushButton;
class QTreeWidget;

namespace quorvex {

class TOneKey;

// "Engine Health": the last outcome of each engine of a category as the engine folder's health file
// keeps it, how many of the kept keywords' results each engine found and found alone, and a way to
// learn a new definition from the page an engine's definition no longer reads.
class TfmEngineHealth : public QDialog {
  Q_OBJECT
 public:
  explicit TfmEngineHealth(QWidget* parent = nullptr);
  // Shows the engines of category modally, their own results counted over keys (loading the results
  // of those not loaded yet).
  void Execute(const EngineIndex& index, std::string_view category, const std::vector<TOneKey*>& keys);

 signals:
  // "Learn from the kept page" was pressed for engine, whose kept page is page.
  void LearnRequested(const QString& page, const QString& engine);

 private:
  void UpdateLearnButton();

  QTreeWidget* lvEngines_;
  QPushButton* btnLearn_;
};

}  // namespace quorvex
