#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "core/app/AppState.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/config/user_data_dir.h"
#include "core/config/version.h"
#include "gui/QtDispatcher.h"
#include "gui/ShutdownSignals.h"
#include "gui/TfmMetaSearch.h"

int main(int argc, char* argv[]) {
  // Answered before QApplication exists, which needs a display.
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) != "--version") continue;
    std::printf("quorvex %s\n", quorvex::kProgramVersion);
    return 0;
  }
  QApplication application(argc, argv);
  // An installed copy cannot write beside itself: its data, option.txt, Config.txt and AllKey.txt
  // included, then lives in the user's data folder.
  if (const auto dataDir = quorvex::UseUserDataDirIfReadOnly()) {
    std::error_code error;
    std::filesystem::current_path(*dataDir, error);
  }
  quorvex::CreateDataFolders();
  quorvex::RemoveStaleSaves();
  quorvex::LoadOptions();
  QApplication::setApplicationName("Quorvex");
  QGuiApplication::setDesktopFileName("org.quorvex.Quorvex");  // the menu entry this window belongs to
  QApplication::setWindowIcon(QIcon::fromTheme("quorvex"));

  quorvex::QtDispatcher dispatcher;
  quorvex::TfmMetaSearch window(dispatcher, quorvex::App());
  // A signal, the session ending or a quit from elsewhere closes the window as Exit does; its shut-down
  // runs once, so the about-to-quit after an Exit adds nothing.
  quorvex::ShutdownSignals shutdownSignals;
  QObject::connect(&shutdownSignals, &quorvex::ShutdownSignals::shutdownRequested, &window, [&window] {
    window.close();
    QApplication::quit();
  });
  window.show();
  const int code = QApplication::exec();
  dispatcher.Shutdown();
  return code;
}
