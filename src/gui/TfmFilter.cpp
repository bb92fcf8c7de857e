#include "gui/TfmFilter.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/view/TFilter.h"
#include "gui/display_text.h"

namespace quorvex {

TfmFilter::TfmFilter(QWidget* parent)
    : QDialog(parent),
      edContains_(new QLineEdit(this)),
      edEngine_(new QLineEdit(this)),
      cbDownloaded_(new QCheckBox(QStringLiteral("Displaying &downloaded web page only"), this)),
      cbVisited_(new QCheckBox(QStringLiteral("Displaying &visited web page only"), this)) {
  setWindowTitle(QStringLiteral("Filter"));
  setObjectName(QStringLiteral("fmFilter"));
  edContains_->setObjectName(QStringLiteral("edContains"));
  edEngine_->setObjectName(QStringLiteral("edEngine"));
  cbDownloaded_->setObjectName(QStringLiteral("cbDownloaded"));
  cbVisited_->setObjectName(QStringLiteral("cbVisited"));

  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  ok->setDefault(true);
  cancel->setAutoDefault(false);
  // Both buttons keep what the controls hold; Escape (reject without copying) is the way out.
  const auto closeWith = [this](int result) {
    if (filter_ != nullptr) CopyTo(*filter_);
    done(result);
  };
  connect(ok, &QPushButton::clicked, this, [closeWith] { closeWith(Accepted); });
  connect(cancel, &QPushButton::clicked, this, [closeWith] { closeWith(Rejected); });
  connect(edContains_, &QLineEdit::returnPressed, this, [closeWith] { closeWith(Accepted); });
  connect(edEngine_, &QLineEdit::returnPressed, this, [closeWith] { closeWith(Accepted); });

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Filter in &result for:"), edContains_);
  fields->addRow(QStringLiteral("Search &Engine Filter:"), edEngine_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(cbDownloaded_);
  layout->addWidget(cbVisited_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TfmFilter::Edit(TFilter& filter) {
  filter_ = &filter;
  edContains_->setText(ToDisplay(filter.Contains));
  edEngine_->setText(ToDisplay(filter.Engine));
  cbDownloaded_->setChecked(filter.DownloadedOnly);
  cbVisited_->setChecked(filter.VisitedOnly);
  edContains_->setFocus();
  const bool accepted = exec() == Accepted;
  filter_ = nullptr;
  return accepted;
}

void TfmFilter::CopyTo(TFilter& filter) const {
  filter.Contains = FromTyped(edContains_->text());
  filter.Engine = FromTyped(edEngine_->text());
  filter.DownloadedOnly = cbDownloaded_->isChecked();
  filter.VisitedOnly = cbVisited_->isChecked();
}

}  // namespace quorvex
