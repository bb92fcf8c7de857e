#include "gui/result_open.h"

#include <QDesktopServices>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

namespace quorvex {
namespace {

// The program of the desktop's default web browser, from its .desktop entry's Exec line.
QString DesktopBrowser() {
  QProcess query;
  query.start(QStringLiteral("xdg-settings"), {QStringLiteral("get"), QStringLiteral("default-web-browser")});
  if (!query.waitForFinished(3000) || query.exitCode() != 0) return {};
  const QString entry = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
  if (entry.isEmpty()) return {};
  const QString file = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
  if (file.isEmpty()) return {};
  const QSettings desktop(file, QSettings::IniFormat);
  const QStringList exec = QProcess::splitCommand(desktop.value(QStringLiteral("Desktop Entry/Exec")).toString());
  return exec.isEmpty() ? QString() : exec.first();
}

QString BrowserProgram() {
  const QString fromEnvironment = qEnvironmentVariable("BROWSER").section(QLatin1Char(':'), 0, 0);
  const QString program = fromEnvironment.isEmpty() ? DesktopBrowser() : fromEnvironment;
  return program.isEmpty() ? QString() : QStandardPaths::findExecutable(program);
}

}  // namespace

void OpenInBrowser(const QUrl& url, bool newWindow) {
  if (newWindow) {
    const QString program = BrowserProgram();
    if (!program.isEmpty() && QProcess::startDetached(program, {QStringLiteral("--new-window"), url.toString()})) {
      return;
    }
  }
  QDesktopServices::openUrl(url);
}

}  // namespace quorvex
