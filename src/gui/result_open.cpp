#include "gui/result_open.h"

#include <QDesktopServices>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace quorvex {
namespace {

// How long the desktop may take to name its browser before the default open is used instead.
constexpr int kLookupMilliseconds = 3000;

// Starts command, or opens url the default way when there is no command or it cannot be started.
void StartOrOpen(QStringList command, const QUrl& url) {
  const QString program = command.isEmpty() ? QString() : QStandardPaths::findExecutable(command.takeFirst());
  if (!program.isEmpty() && QProcess::startDetached(program, command)) return;
  QDesktopServices::openUrl(url);
}

// The command of the desktop entry named by xdg-settings, for url in a new window.
QStringList DesktopBrowserCommand(const QByteArray& entryName, const QUrl& url) {
  const QString entry = QString::fromLocal8Bit(entryName).trimmed();
  if (entry.isEmpty()) return {};
  const QString file = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
  if (file.isEmpty()) return {};
  const QSettings desktop(file, QSettings::IniFormat);
  return NewWindowCommand(desktop.value(QStringLiteral("Desktop Entry/Exec")).toString(), url);
}

}  // namespace

QStringList NewWindowCommand(const QString& execLine, const QUrl& url) {
  QStringList command;
  bool flagged = false;
  bool placed = false;
  for (const QString& word : QProcess::splitCommand(execLine)) {
    // The first field code (%u, %F, ...) or file-forwarding mark of a sandboxed browser is where the
    // addresses go: the new-window flag goes before it, the address in place of the field code.
    const bool fieldCode = word.size() == 2 && word.startsWith(QLatin1Char('%'));
    const bool forwardingMark = word.startsWith(QLatin1String("@@"));
    if ((fieldCode || forwardingMark) && !flagged) {
      command << QStringLiteral("--new-window");
      flagged = true;
    }
    if (fieldCode) {
      if (!placed) command << url.toString();
      placed = true;
      continue;
    }
    command << word;
  }
  if (command.isEmpty()) return {};
  if (!flagged) command << QStringLiteral("--new-window");
  if (!placed) command << url.toString();
  return command;
}

void OpenInBrowser(const QUrl& url, bool newWindow) {
  if (!newWindow) {
    QDesktopServices::openUrl(url);
    return;
  }
  const QString fromEnvironment = qEnvironmentVariable("BROWSER").section(QLatin1Char(':'), 0, 0);
  if (!fromEnvironment.isEmpty()) {
    StartOrOpen(NewWindowCommand(fromEnvironment, url), url);
    return;
  }
  // The desktop is asked without waiting: the window stays responsive while it answers.
  auto* query = new QProcess;
  QObject::connect(query, &QProcess::finished, query, [query, url](int exitCode, QProcess::ExitStatus status) {
    const bool named = status == QProcess::NormalExit && exitCode == 0;
    StartOrOpen(named ? DesktopBrowserCommand(query->readAllStandardOutput(), url) : QStringList(), url);
    query->deleteLater();
  });
  QObject::connect(query, &QProcess::errorOccurred, query, [query, url](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    QDesktopServices::openUrl(url);
    query->deleteLater();
  });
  QTimer::singleShot(kLookupMilliseconds, query, [query] { query->kill(); });
  query->start(QStringLiteral("xdg-settings"), {QStringLiteral("get"), QStringLiteral("default-web-browser")});
}

}  // namespace quorvex
