#pragma once
#include <QDialog>
#include <string>

#include "core/engines/EngineIndex.h"
#include "core/engines/definition_learner.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace quorvex {

// "Learn Engine from Page": learns a definition from a saved result page and the keyword it was
// searched for, shows the results it finds on that page, and on OK adds it to the engine folder and to
// the chosen category of the index.
class TfmLearnEngine : public QDialog {
  Q_OBJECT
 public:
  // index is the window's engine index: the one that gets the new engine and is saved with it.
  explicit TfmLearnEngine(EngineIndex& index, QWidget* parent = nullptr);
  // Shows the dialog modally, page and name filled in when given and category (of the index) chosen;
  // true when OK added an engine.
  bool Execute(const QString& page, const QString& name, const std::string& category);

 private:
  void Browse();
  void Learn();
  void Add();
  void Forget();  // the shown results no longer belong to what the fields say

  EngineIndex& index_;
  TLearnedDefinition learned_;
  QLineEdit* edPage_;
  QLineEdit* edKeyword_;
  QLineEdit* edUrl_;
  QLineEdit* edName_;
  QComboBox* cbCategory_;
  QTreeWidget* lvResults_;
  QLabel* lbReport_;
  QDialogButtonBox* buttons_;
};

}  // namespace quorvex
