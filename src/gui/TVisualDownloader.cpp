#include "gui/TVisualDownloader.h"

#include <algorithm>

namespace quorvex {

TVisualDownloader::TVisualDownloader(const QString& engineName, int perEngineLimit, QWidget* parent)
    : QWidget(parent),
      lblEngineName(new QLabel(engineName, this)),
      pProgressBar(new QProgressBar(this)),
      lblDownloadNum(new QLabel("0", this)),
      limit_(std::max(perEngineLimit, 1)) {
  setFixedHeight(kHeight);
  lblEngineName->setGeometry(10, 4, 100, 20);
  pProgressBar->setRange(0, 100);
  pProgressBar->setValue(0);
  pProgressBar->setTextVisible(false);
}

void TVisualDownloader::Connected() {
  if (pProgressBar->value() >= 1) return;
  pProgressBar->setValue(1);
  lblDownloadNum->setText("Connected");
}

void TVisualDownloader::Downloading(int reported) {
  lblDownloadNum->setText("Downloading:" + QString::number(reported));
  if (reported == 0) {
    pProgressBar->setValue(std::min(pProgressBar->value() + 1, pProgressBar->maximum()));
    return;
  }
  pProgressBar->setValue(std::min(reported, limit_) * 100 / limit_);
}

void TVisualDownloader::FinishedDown(int added) {
  lblDownloadNum->setText("Finished:" + QString::number(added));
  pProgressBar->setValue(pProgressBar->maximum());
}

void TVisualDownloader::Failed(const QString& reason) {
  lblDownloadNum->setText(lblDownloadNum->text() + " (" + reason + ")");
  setToolTip(lblEngineName->text() + ": " + reason);
}

void TVisualDownloader::Place(int progressLeft, int countLeft) {
  pProgressBar->setGeometry(progressLeft, 4, std::max(countLeft - progressLeft, 0), 20);
  lblDownloadNum->setGeometry(countLeft + 4, 4, std::max(width() - countLeft - 4, 60), 20);
}

}  // namespace quorvex
