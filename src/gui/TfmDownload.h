#pragma once
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include "core/pages/verify_display.h"

namespace quorvex {

// "Verify Or Download Progress": counts, percentage and bar of a verification or download run, and on
// demand one detail row per worker. Closing it with OK leaves the run going.
class TfmDownload : public QDialog, public TVerifyDisplay {
  Q_OBJECT
 public:
  static constexpr int kFoldedHeight = 116;
  static constexpr int kUnfoldedHeight = 338;

  explicit TfmDownload(QWidget* parent = nullptr);

  // TVerifyDisplay
  void RunStarted(int workers) override;
  void Progress(const TVerifyProgress& progress) override;
  void WorkerRow(int slot, std::string_view url, int resultIndex, int left) override;
  void ResultChecked(int resultIndex, int pageState) override;
  void PageNotSaved(int resultIndex, std::string_view reason) override;

  QLabel* lblDownCount;
  QLabel* lblAllCount;
  QProgressBar* ProgressBar;
  QLabel* lblProgress;
  QPushButton* btnOK;
  QPushButton* btnDetail;
  QTreeWidget* lvDetail;

 signals:
  // A result's page state changed: the result list shows it at its next paint.
  void PageStateChanged();

 private:
  void btnDetailClick();
};

}  // namespace quorvex
