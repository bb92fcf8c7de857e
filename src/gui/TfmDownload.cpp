#include "gui/TfmDownload.h"

#include <QGridLayout>
#include <QHeaderView>
#include <algorithm>

#include "gui/display_text.h"

namespace quorvex {

TfmDownload::TfmDownload(QWidget* parent)
    : QDialog(parent),
      lblDownCount(new QLabel("0", this)),
      lblAllCount(new QLabel("1", this)),
      ProgressBar(new QProgressBar(this)),
      lblProgress(new QLabel("0%", this)),
      btnOK(new QPushButton("&OK", this)),
      btnDetail(new QPushButton("&Show Detail", this)),
      lvDetail(new QTreeWidget(this)) {
  setWindowTitle("Verify Or Download Progress");
  ProgressBar->setFixedWidth(435);
  ProgressBar->setTextVisible(false);
  lvDetail->setHeaderLabels({"URL", "NO", "Left"});
  lvDetail->header()->resizeSection(0, 380);
  lvDetail->header()->resizeSection(1, 50);
  lvDetail->header()->resizeSection(2, 40);
  lvDetail->setRootIsDecorated(false);
  lvDetail->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvDetail->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvDetail->setStyleSheet("QTreeWidget { background: #ffff80; }");  // 8454143, light yellow

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Downloaded:", this), 0, 0);
  grid->addWidget(lblDownCount, 0, 1);
  grid->addWidget(new QLabel("Total:", this), 0, 2);
  grid->addWidget(lblAllCount, 0, 3);
  grid->addWidget(btnOK, 0, 4);
  grid->addWidget(ProgressBar, 1, 0, 1, 4);
  grid->addWidget(lblProgress, 1, 4);
  grid->addWidget(btnDetail, 2, 4);
  grid->addWidget(lvDetail, 3, 0, 1, 5);
  grid->setRowStretch(3, 1);
  lvDetail->hide();
  setFixedSize(506, kFoldedHeight);

  connect(btnOK, &QPushButton::clicked, this, &QDialog::hide);
  connect(btnDetail, &QPushButton::clicked, this, &TfmDownload::btnDetailClick);
}

void TfmDownload::btnDetailClick() {
  const bool unfold = height() == kFoldedHeight;
  lvDetail->setVisible(unfold);
  setFixedHeight(unfold ? kUnfoldedHeight : kFoldedHeight);
  btnDetail->setText(unfold ? "&Detail <=" : "&Detail =>");
}

void TfmDownload::RunStarted(int workers) {
  lvDetail->clear();
  for (int slot = 0; slot < workers; ++slot) lvDetail->addTopLevelItem(new QTreeWidgetItem(lvDetail));
  show();
}

void TfmDownload::Progress(const TVerifyProgress& progress) {
  lblDownCount->setText(QString::number(progress.done));
  lblAllCount->setText(QString::number(progress.total));
  // A maximum of 0 (one result) would turn the bar into a busy indicator.
  const int maximum = std::max(progress.barMaximum, 1);
  ProgressBar->setMaximum(maximum);
  ProgressBar->setValue(std::clamp(progress.done, 0, maximum));
  lblProgress->setText(QString::fromStdString(progress.percentage));
}

void TfmDownload::WorkerRow(int slot, std::string_view url, int resultIndex, int left) {
  QTreeWidgetItem* row = lvDetail->topLevelItem(slot);
  if (row == nullptr) return;
  row->setText(0, ToDisplay(url));
  row->setText(1, QString::number(resultIndex));
  row->setText(2, QString::number(left));
}

void TfmDownload::ResultChecked(int, int) { emit PageStateChanged(); }

void TfmDownload::PageNotSaved(int resultIndex, std::string_view reason) {
  // Below the workers' rows, which keep being rewritten.
  auto* row = new QTreeWidgetItem(lvDetail);
  row->setText(0, "Not saved: " + ToDisplay(reason));
  row->setText(1, QString::number(resultIndex));
}

}  // namespace quorvex
