#pragma once
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace quorvex {

// "Verify Or Download Progress": counts, percentage and bar of a verification or download run, and on
// demand one detail row per worker. Closing it with OK leaves the run going.
class TfmDownload : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kFoldedHeight = 116;
  static constexpr int kUnfoldedHeight = 338;

  explicit TfmDownload(QWidget* parent = nullptr);

  QLabel* lblDownCount;
  QLabel* lblAllCount;
  QProgressBar* ProgressBar;
  QLabel* lblProgress;
  QPushButton* btnOK;
  QPushButton* btnDetail;
  QTreeWidget* lvDetail;

 private:
  void btnDetailClick();
};

}  // namespace quorvex
