#include "gui/panel_parts.h"

#include <QAction>
#include <QApplication>
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

QToolButton* CommandButton(QWidget* parent, QAction* command, const char* name) {
  auto* button = new QToolButton(parent);
  button->setDefaultAction(command);
  button->setAutoRaise(true);
  if (name) button->setObjectName(QString::fromLatin1(name));
  return button;
}

void SetPicture(QAction* command, QStyle::StandardPixmap picture) {
  command->setIcon(QApplication::style()->standardIcon(picture));
  command->setIconVisibleInMenu(false);
}

}  // namespace quorvex
