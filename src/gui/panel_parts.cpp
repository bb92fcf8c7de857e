#include "gui/panel_parts.h"

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvex {

QWidget* Captioned(const QString& caption, QWidget* control) {
  auto* box = new QWidget;
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  auto* label = new QLabel(caption, box);
  label->setBuddy(control);
  label->setStyleSheet("QLabel { background: palette(mid); color: palette(bright-text); padding: 2px; }");
  layout->addWidget(label);
  layout->addWidget(control, 1);
  return box;
}

QToolButton* ToolButton(QWidget* parent, QStyle::StandardPixmap picture, const QString& hint) {
  auto* button = new QToolButton(parent);
  button->setIcon(parent->style()->standardIcon(picture));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  return button;
}

}  // namespace quorvex
