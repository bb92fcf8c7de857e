#pragma once
#include <QString>
#include <QStyle>

class QToolButton;
class QWidget;

namespace quorvex {

// Pieces the window's panels share.

// A caption over a control whose access key moves the focus into it.
QWidget* Captioned(const QString& caption, QWidget* control);
// A flat button with one of the style's standard pictures and a hint.
QToolButton* ToolButton(QWidget* parent, QStyle::StandardPixmap picture, const QString& hint);

}  // namespace quorvex
