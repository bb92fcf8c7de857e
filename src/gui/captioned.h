#pragma once
#include <QString>

class QWidget;

namespace quorvex {

// A caption over a control whose access key moves the focus into it.
QWidget* Captioned(const QString& caption, QWidget* control);

}  // namespace quorvex
