#include <QApplication>
#include <QIcon>
#include <filesystem>

#include "core/app/AppState.h"
#include "core/app/Options.h"
#include "core/app/ProgramDirs.h"
#include "core/app/user_data_dir.h"
#include "gui/QtDispatcher.h"
#include "gui/ShutdownSignals.h"
#include "gui/TfmMetaSearch.h"

int main(int argc, char* argv[]) {
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
