#pragma once
#include <QString>
#include <QStyle>

class QAction;
class QToolButton;
class QWidget;

namespace quorvex {

// Pieces the window's panels share.

// A caption over a control whose access key moves the focus into it.
QWidget* Captioned(const QString& caption, QWidget* control);
// A flat button with one of the style's standard pictures and a hint.
QToolButton* ToolButton(QWidget* parent, QStyle::StandardPixmap picture, const QString& hint);
// A flat button that offers command: caption, picture, hint and enabled state all come from it.
QToolButton* CommandButton(QWidget* parent, QAction* command, const char* name = nullptr);
// The style's standard picture for command's buttons; menus show the command without it.
void SetPicture(QAction* command, QStyle::StandardPixmap picture);

}  // namespace quorvex
