#include "gui/TfmPageProperty.h"

#include <QDateTime>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/common/datetime.h"
#include "core/store/TOneResult.h"
#include "core/view/local_copy.h"
#include "gui/display_text.h"

namespace quorvex {
namespace {

QLineEdit* ReadOnlyField(QWidget* parent, const char* name) {
  auto* field = new QLineEdit(QStringLiteral("NO"), parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setReadOnly(true);
  field->setFrame(false);
  field->setMinimumWidth(360);
  return field;
}

// The local copy's path when the page has been downloaded, else what the result itself names.
QString LocalFileText(const TOneResult& result) {
  std::error_code error;
  const std::filesystem::path copy = LocalCopyPath(result.Url);
  if (!result.Url.empty() && std::filesystem::is_regular_file(copy, error)) {
    return QString::fromStdString(copy.string());
  }
  return ToDisplay(result.LocalFile);
}

}  // namespace

TfmPageProperty::TfmPageProperty(QWidget* parent)
    : QDialog(parent),
      edTitle_(ReadOnlyField(this, "edTitle")),
      meContent_(new QPlainTextEdit(QStringLiteral("NO"), this)),
      edURL_(ReadOnlyField(this, "edURL")),
      edEngine_(ReadOnlyField(this, "edEngine")),
      edLocalPage_(ReadOnlyField(this, "edLocalPage")),
      edDate_(ReadOnlyField(this, "edDate")) {
  setWindowTitle(QStringLiteral("Page Property"));
  setObjectName(QStringLiteral("fmPageProperty"));
  meContent_->setObjectName(QStringLiteral("meContent"));
  meContent_->setReadOnly(true);
  meContent_->setFrameShape(QFrame::NoFrame);
  meContent_->setFixedHeight(80);
  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Title:"), edTitle_);
  fields->addRow(QStringLiteral("Content:"), meContent_);
  fields->addRow(QStringLiteral("URL:"), edURL_);
  fields->addRow(QStringLiteral("Search Engines:"), edEngine_);
  fields->addRow(QStringLiteral("Local File:"), edLocalPage_);
  fields->addRow(QStringLiteral("Found Time"), edDate_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(ok, 0, Qt::AlignRight);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmPageProperty::ShowPageProperty(const TOneResult* result) {
  if (result != nullptr) {
    edTitle_->setText(ToDisplay(result->Title));
    meContent_->setPlainText(ToDisplay(result->Summary));
    edURL_->setText(ToDisplay(result->Url));
    edEngine_->setText(ToDisplay(result->Engines));
    edLocalPage_->setText(LocalFileText(*result));
    const QDate found = QDateTime::fromSecsSinceEpoch(TimeFromDateTime(result->Found)).date();
    edDate_->setText(QLocale().toString(found, QLocale::ShortFormat));
  }
  exec();
}

}  // namespace quorvex
