#include "gui/TfmFind.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/display_text.h"

namespace quorvex {

TfmFind::TfmFind(QWidget* parent)
    : QDialog(parent),
      edFind_(new QLineEdit(this)),
      cbTop_(new QCheckBox(QStringLiteral("From &top if checked,otherwise from current position"), this)),
      cbCase_(new QCheckBox(QStringLiteral("&Case sensitive"), this)) {
  setWindowTitle(QStringLiteral("Search in results"));
  setObjectName(QStringLiteral("fmFind"));
  edFind_->setObjectName(QStringLiteral("edFind"));
  cbTop_->setObjectName(QStringLiteral("cbTop"));
  cbCase_->setObjectName(QStringLiteral("cbCase"));
  cbTop_->setChecked(true);

  auto* hotKey = new QLabel(QStringLiteral("Hot Key Ctrl+F, Continue search Press F3"), this);
  hotKey->setStyleSheet(QStringLiteral("color: white; background: red; padding: 2px;"));
  auto* keyLabel = new QLabel(QStringLiteral("&Key for search\uFF1A"), this);
  keyLabel->setBuddy(edFind_);
  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(edFind_, &QLineEdit::returnPressed, this, &QDialog::accept);

  auto* keyRow = new QHBoxLayout;
  keyRow->addWidget(keyLabel);
  keyRow->addWidget(edFind_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(hotKey);
  layout->addWidget(new QLabel(QStringLiteral("Please input your key words here:"), this));
  layout->addLayout(keyRow);
  layout->addWidget(cbTop_);
  layout->addWidget(cbCase_);
  layout->addWidget(ok, 0, Qt::AlignRight);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::string TfmFind::Text() const { return FromTyped(edFind_->text()); }
bool TfmFind::FromTop() const { return cbTop_->isChecked(); }
bool TfmFind::CaseSensitive() const { return cbCase_->isChecked(); }

void TfmFind::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  edFind_->setFocus();
  edFind_->selectAll();
}

}  // namespace quorvex
