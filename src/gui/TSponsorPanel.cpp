#include "gui/TSponsorPanel.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QMouseEvent>
#include <QUrl>

#include "gui/TVLabel.h"

namespace quorvex {

TSponsorBrowser::TSponsorBrowser(QWidget* parent) : QTextBrowser(parent) {
  setObjectName("SponsorPane");
  setFrameShape(QFrame::NoFrame);
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // The pane itself follows no link: a sponsor's page opens in the user's browser.
  // Only web and mail addresses: a remote page must not start local files or programs.
  connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
    const QUrl url = source().resolved(link);
    if (url.scheme() == "http" || url.scheme() == "https" || url.scheme() == "mailto") QDesktopServices::openUrl(url);
  });
}

void TSponsorBrowser::ShowCachedFile(const std::filesystem::path& file) {
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(file.string()));
  // The worker rewrites a cache folder's page in place: the same address must load afresh.
  if (source() == url) {
    reload();
  } else {
    setSource(url);
  }
}

void TSponsorBrowser::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
    event->accept();
    QMessageBox::information(this, QApplication::applicationName(), kSponsorMessage);
    return;
  }
  QTextBrowser::mousePressEvent(event);
}

void TSponsorBrowser::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

TSponsorPanel::TSponsorPanel(QWidget* parent)
    : QWidget(parent), label_(new TVLabel("Sponsor", Qt::red, this)), pane_(new TSponsorBrowser(this)) {
  setFixedHeight(kHeight);
}

void TSponsorPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  label_->setGeometry(0, 0, kLabelWidth, height());
  pane_->setGeometry(kLabelWidth, -2, width() - kLabelWidth + 20, height() + 4);
}

}  // namespace quorvex
