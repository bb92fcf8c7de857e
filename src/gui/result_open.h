#pragma once
#include <QStringList>
#include <QUrl>

namespace quorvex {

// Shows url in the user's browser: in the desktop's default way, or, for a new window, by starting the
// browser ($BROWSER, else the desktop's web browser) with --new-window; when no browser program can be
// started the default way is used. Never waits for the desktop.
void OpenInBrowser(const QUrl& url, bool newWindow);

// The program and arguments that open url in a new window of the browser started by execLine (a
// desktop entry's Exec line or $BROWSER, wrappers such as env or flatpak included); empty for an
// empty line.
QStringList NewWindowCommand(const QString& execLine, const QUrl& url);

}  // namespace quorvex
