#pragma once
#include <QList>
#include <QObject>
#include <QUrl>

namespace quorvex::test {

// While it lives, what the program hands the desktop to open (a page for the browser, a mail for the
// mail program) is recorded here instead of being opened.
class OpenedUrls : public QObject {
  Q_OBJECT
 public:
  OpenedUrls();
  ~OpenedUrls() override;
  QList<QUrl> urls;

 public slots:
  void Open(const QUrl& url);
};

}  // namespace quorvex::test
