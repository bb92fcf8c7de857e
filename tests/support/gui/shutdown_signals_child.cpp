#include <unistd.h>

#include <QGuiApplication>
#include <cstdio>
#include <string_view>

#include "gui/ShutdownSignals.h"

namespace {

void Say(const char* line) {
  std::fputs(line, stdout);
  std::fflush(stdout);
}

}  // namespace

// Started by the shut-down signal tests: says "ready" once ShutdownSignals is in place and "shut-down"
// when its shut-down runs, then quits; given "hang", its shut-down never ends.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const bool hang = argc > 1 && std::string_view(argv[1]) == "hang";
  quorvex::ShutdownSignals shutdown;
  QObject::connect(&shutdown, &quorvex::ShutdownSignals::shutdownRequested, &application, [hang] {
    Say("shut-down\n");
    if (hang) {
      for (;;) ::pause();  // only a second signal ends it
    }
    QCoreApplication::quit();
  });
  Say("ready\n");
  return QGuiApplication::exec();
}
