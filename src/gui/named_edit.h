#pragma once
#include <QLineEdit>

namespace quorvex {

// A line edit with an object name, by which tests and the dialog's own code find it.
inline QLineEdit* NamedEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

}  // namespace quorvex
