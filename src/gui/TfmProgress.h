#pragma once
#include <QDialog>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <memory>

#include "core/search/search_display.h"

namespace quorvex {

// "Search Progress": one row per engine of the running search, with its name, a bar and a state text
// with a count. Hiding it leaves the search running. The rows are a plain model: an engine's progress
// only changes data, and the view draws the rows it shows at its next paint, so neither adding a row
// nor a page merged ever waits for drawing.
class TfmProgress : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 28;
  // Of a row's Progress column: the bar's filling, 0 to 100.
  static constexpr int kPercentRole = Qt::UserRole;

  explicit TfmProgress(QWidget* parent = nullptr);

  // A new row for an engine, as the search run keeps it; freeing it removes the row. perEngineLimit is
  // the keyword's per-engine result limit, which fills the bar.
  std::unique_ptr<TSearchProgressRow> AddEngineRow(const QString& engineName, int perEngineLimit);
  // Columns: engine name, progress (kPercentRole), state text; a failed engine's row has its reason as hint.
  const QStandardItemModel& Rows() const { return *rows_; }

  QTreeView* lvRows;
  QPushButton* btnHide;

 private:
  void FitHeight();

  QStandardItemModel* rows_;
  // While shown, the window fits its rows at most once per interval, however many come and go: every
  // change of its height draws all of it again.
  QTimer fit_;
};

}  // namespace quorvex
