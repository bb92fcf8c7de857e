#pragma once
#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "core/search/search_display.h"

namespace quorvex {

class TVisualDownloader;

// "Search Progress": one row per engine of the running search under a three-section header. Hiding
// it leaves the search running.
class TfmProgress : public QDialog {
  Q_OBJECT
 public:
  explicit TfmProgress(QWidget* parent = nullptr);

  // A new row for an engine; the window grows by one row and shrinks again when the row is freed.
  TVisualDownloader* AddRow(const QString& engineName, int perEngineLimit);
  QList<TVisualDownloader*> Rows() const;
  // The same row as the search run keeps it: freeing it removes the row.
  std::unique_ptr<TSearchProgressRow> AddEngineRow(const QString& engineName, int perEngineLimit);

  QHeaderView* Header;
  QPushButton* btnHide;

 private:
  void HeaderSectionResize();
  void FitHeight();

  QVBoxLayout* rows_;
};

}  // namespace quorvex
