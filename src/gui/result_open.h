#pragma once
#include <QUrl>

namespace quorvex {

// Shows url in the user's browser: in the desktop's default way, or, for a new window, by starting the
// browser ($BROWSER, else the desktop's web browser) with --new-window; when no browser program can be
// started the default way is used.
void OpenInBrowser(const QUrl& url, bool newWindow);

}  // namespace quorvex
