#include "support/gui/opened_urls.h"

#include <QDesktopServices>

namespace quorvex::test {
namespace {
const char* const kSchemes[] = {"http", "https", "file", "mailto"};
}

OpenedUrls::OpenedUrls() {
  for (const char* scheme : kSchemes) QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
}

OpenedUrls::~OpenedUrls() {
  for (const char* scheme : kSchemes) QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void OpenedUrls::Open(const QUrl& url) { urls.append(url); }

}  // namespace quorvex::test
