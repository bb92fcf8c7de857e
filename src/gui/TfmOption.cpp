#include "gui/TfmOption.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cerrno>
#include <filesystem>

#include "core/config/Options.h"
#include "core/common/file_io.h"
#include "gui/display_text.h"
#include "gui/named_edit.h"

namespace quorvex {
namespace {

// The product name with a dark brown shadow one pixel down and right.
class TShadowTitle : public QWidget {
 public:
  explicit TShadowTitle(QWidget* parent) : QWidget(parent) {
    font_.setFamily(QStringLiteral("Tahoma"));
    font_.setPixelSize(19);
    font_.setBold(true);
    setMinimumSize(QFontMetrics(font_).horizontalAdvance(QStringLiteral("Quorvex")) + 4,
                   QFontMetrics(font_).height() + 2);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.setFont(font_);
    const int baseline = QFontMetrics(font_).ascent();
    painter.setPen(QColor(96, 48, 0));
    painter.drawText(1, baseline + 1, QStringLiteral("Quorvex"));
    painter.setPen(Qt::white);
    painter.drawText(0, baseline, QStringLiteral("Quorvex"));
  }

 private:
  QFont font_;
};

QCheckBox* NamedBox(const char* text, QWidget* parent, const char* name) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

// "Label: [edit] Seconds" on the time-out page.
void AddSecondsRow(QGridLayout* grid, int row, const char* label, QLineEdit* edit, const char* unit) {
  grid->addWidget(new QLabel(QString::fromLatin1(label)), row, 0);
  grid->addWidget(edit, row, 1);
  grid->addWidget(new QLabel(QString::fromLatin1(unit)), row, 2);
}

}  // namespace

TfmOption::TfmOption(QWidget* parent)
    : QDialog(parent),
      pages_(new QTabWidget(this)),
      cbProxy_(NamedBox("Using &Proxy", this, "cbProxy")),
      proxyGroup_(new QGroupBox(QStringLiteral("Proxy settings"), this)),
      edProxy_(NamedEdit(this, "edProxy")),
      edPort_(NamedEdit(this, "edPort")),
      cbNewWindow_(NamedBox("Open document in new window when double click", this, "cbNewWindow")),
      cbDEngines_(NamedBox("Download new search engines manually", this, "cbDEngines")),
      edSearchTimeOut_(NamedEdit(this, "edSearchTimeOut")),
      edVerifyTimeout_(NamedEdit(this, "edVerifyTimeout")),
      edDownloadTimeout_(NamedEdit(this, "edDownloadTimeout")),
      cbDelete_(NamedBox("Delete files after", this, "cbDelete")),
      edDays_(NamedEdit(this, "edDays")) {
  setWindowTitle(QStringLiteral("Quorvex Options"));
  setObjectName(QStringLiteral("fmOption"));

  auto* connection = new QWidget;
  auto* proxyFields = new QFormLayout(proxyGroup_);
  proxyFields->addRow(QStringLiteral("Proxy Address:"), edProxy_);
  proxyFields->addRow(QStringLiteral("Proxy Port:"), edPort_);
  auto* connectionLayout = new QVBoxLayout(connection);
  connectionLayout->addWidget(cbProxy_);
  connectionLayout->addWidget(proxyGroup_);
  connectionLayout->addWidget(cbNewWindow_);
  connectionLayout->addWidget(cbDEngines_);
  connectionLayout->addStretch();
  pages_->addTab(connection, QStringLiteral("&Connection Settings"));

  auto* timeOuts = new QWidget;
  auto* timeGrid = new QGridLayout(timeOuts);
  AddSecondsRow(timeGrid, 0, "Search Timeout:", edSearchTimeOut_, "Seconds");
  AddSecondsRow(timeGrid, 1, "Verify Timeout: ", edVerifyTimeout_, "Seconds");
  AddSecondsRow(timeGrid, 2, "Download Timeout: ", edDownloadTimeout_, "Seconds");
  timeGrid->setRowStretch(3, 1);
  pages_->addTab(timeOuts, QStringLiteral("&TimeOut"));

  // Clearing downloaded copies has no setting behind it yet, so its controls only show the idea.
  auto* download = new QWidget;
  auto* downloadLayout = new QVBoxLayout(download);
  auto* daysRow = new QHBoxLayout;
  daysRow->addWidget(cbDelete_);
  daysRow->addWidget(edDays_);
  daysRow->addWidget(new QLabel(QStringLiteral("Days")));
  daysRow->addStretch();
  auto* clear = new QPushButton(QStringLiteral("Clear Downloaded Files"));
  clear->setEnabled(false);
  clear->setAutoDefault(false);
  downloadLayout->addLayout(daysRow);
  downloadLayout->addWidget(clear, 0, Qt::AlignLeft);
  downloadLayout->addStretch();
  pages_->addTab(download, QStringLiteral("Download"));
  edDays_->setText(QStringLiteral("20"));
  edDays_->setEnabled(false);
  connect(cbDelete_, &QCheckBox::toggled, edDays_, &QWidget::setEnabled);

  connect(cbProxy_, &QCheckBox::toggled, proxyGroup_, &QWidget::setEnabled);
  connect(cbProxy_, &QCheckBox::clicked, this, [this](bool on) {
    if (on) edProxy_->setFocus();
  });

  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  ok->setDefault(true);
  cancel->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new TShadowTitle(this));
  bottom->addStretch();
  bottom->addWidget(ok);
  bottom->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(bottom);

  Fill(OptionFormFrom(Options()));
}

void TfmOption::Execute() {
  if (exec() != Accepted) return;
  StoreOptionForm(Read(), Options());
  // The settings hold until the program ends either way; unsaved, they are gone at the next start.
  if (SaveOptions()) return;
  const int error = errno;
  QMessageBox::warning(this, QStringLiteral("Quorvex"),
                       ToDisplay(NotWrittenMessage(std::filesystem::absolute(kOptionFileName), error) +
                                 "\nThe settings hold until Quorvex ends."));
}

void TfmOption::Fill(const TOptionForm& form) {
  pages_->setCurrentIndex(0);
  cbProxy_->setChecked(form.UseProxy);
  proxyGroup_->setEnabled(form.UseProxy);
  edProxy_->setText(ToDisplay(form.Proxy));
  edPort_->setText(ToDisplay(form.ProxyPort));
  cbNewWindow_->setChecked(form.NewWindow);
  cbDEngines_->setChecked(form.DownloadEnginesManually);
  edSearchTimeOut_->setText(ToDisplay(form.SearchTimeOut));
  edVerifyTimeout_->setText(ToDisplay(form.VerifyTimeOut));
  edDownloadTimeout_->setText(ToDisplay(form.DownloadTimeOut));
}

TOptionForm TfmOption::Read() const {
  TOptionForm form;
  form.UseProxy = cbProxy_->isChecked();
  form.Proxy = FromTyped(edProxy_->text());
  form.ProxyPort = FromTyped(edPort_->text());
  form.NewWindow = cbNewWindow_->isChecked();
  form.DownloadEnginesManually = cbDEngines_->isChecked();
  form.SearchTimeOut = FromTyped(edSearchTimeOut_->text());
  form.VerifyTimeOut = FromTyped(edVerifyTimeout_->text());
  form.DownloadTimeOut = FromTyped(edDownloadTimeout_->text());
  return form;
}

}  // namespace quorvex
