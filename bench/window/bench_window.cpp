// Prints two figures of the real window under Qt's offscreen platform:
//   - the time from creating the main window to its first paint, with an AllKey.txt of 1000 keywords;
//   - the longest gaps of the main event loop during a search of 20 engines on a loopback server.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/app/AppState.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "gui/QtDispatcher.h"
#include "gui/TfmMetaSearch.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

// Notes the first paint of any widget of the window.
class FirstPaint : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

// CPU time of the calling thread: within a gap, how long the main thread was running rather than waiting
// for a core.
double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void RunUntil(const std::function<bool()>& done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

double StartupMs(const test::TempDir& work) {
  std::string allKey;
  for (int i = 0; i < 1000; ++i)
    allKey += "\"keyword " + std::to_string(i) + "\",\"Offline demo\",0,45000.5,30,Software,0,0\r\n";
  work.Write("AllKey.txt", allKey);
  AppState app;
  QtDispatcher dispatcher;
  FirstPaint paint;
  qApp->installEventFilter(&paint);
  QElapsedTimer clock;
  clock.start();
  TfmMetaSearch window(dispatcher, app);
  window.show();
  RunUntil([&] { return paint.painted; });
  const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  qApp->removeEventFilter(&paint);
  std::filesystem::remove(work / "AllKey.txt");
  return ms;
}

std::string ResultPage(int engine) {
  std::string body = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body><ol>\n";
  for (int i = 0; i < 100; ++i) {
    // Half the addresses are shared by every engine, so the merge finds duplicates too.
    const std::string url = i % 2 ? "http://shared.example/" + std::to_string(i)
                                  : "http://e" + std::to_string(engine) + ".example/" + std::to_string(i);
    body += "<li><a href=\"" + url + "\">Result " + std::to_string(i) + " about water</a><p>A summary of result " +
            std::to_string(i) + " with the word water in it.</p></li>\n";
  }
  return body + "</ol></body></html>\n";
}

struct Stalls {
  double longestMs = 0;
  double longestBusyMs = 0;  // the main thread's own CPU time within one gap
  int over16 = 0;
  double searchMs = 0;
  double startMs = 0;  // the search command itself: 20 controllers, their threads and progress rows
};

Stalls SearchStalls(const test::TempDir& program) {
  test::LoopbackServer server([](size_t connection) {
    test::ScriptedReply reply;
    reply.bytes = ResultPage(static_cast<int>(connection % 20));
    return reply;
  });
  std::string index = "[Loopback,1]\r\n";
  for (int i = 0; i < 20; ++i) {
    const std::string name = "E" + std::to_string(i);
    program.Write("Engines1/" + name + ".txt",
                  "url=" + server.Url("/" + name + "?q=$key$") +
                      "\nHead=\"\",\"\",\"\"\nUniqe=$1\n---\nli\na,href=$1\n$2\n/a\np\n$3\n/p\n---\nL,$4,ENG\n");
    index += name + "=" + name + ".txt\r\n";
  }
  program.Write("Engines1/Index.txt", index);

  AppState app;
  QtDispatcher dispatcher;
  FirstPaint paint;
  qApp->installEventFilter(&paint);
  TfmMetaSearch window(dispatcher, app);
  window.show();
  RunUntil([&] { return paint.painted; });
  qApp->removeEventFilter(&paint);
  // The window's own start-up (its first exposure and activation) is over before the search starts.
  QElapsedTimer settling;
  settling.start();
  RunUntil([&] { return settling.elapsed() >= 200; });
  Stalls stalls;
  QElapsedTimer clock;
  clock.start();
  QElapsedTimer sinceTick;
  double cpuAtTick = ThreadCpuMs();
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const double gap = static_cast<double>(sinceTick.nsecsElapsed()) / 1e6;
    const double busy = ThreadCpuMs() - cpuAtTick;
    sinceTick.restart();
    cpuAtTick = ThreadCpuMs();
    stalls.longestBusyMs = std::max(stalls.longestBusyMs, busy);
    stalls.longestMs = std::max(stalls.longestMs, gap);
    if (gap > 16) {
      ++stalls.over16;
      std::printf("  gap of %.1f ms (main thread running %.1f ms of it) ending %.1f ms after the search command\n",
                  gap, busy, static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
  });
  window.findChild<QLineEdit*>("edKey")->setText("water");
  sinceTick.start();
  probe.start(1);
  window.findChild<QToolButton*>("btnSearch")->click();
  stalls.startMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  RunUntil([&] { return app.ActivityState == TActivityState::Idle; });
  probe.stop();
  stalls.searchMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  window.close();
  return stalls;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  test::TempDir program;
  test::TempDir work;
  std::filesystem::copy(std::filesystem::path(QUORVEX_SOURCE_DIR) / "data/engines", program / "Engines1",
                        std::filesystem::copy_options::recursive);
  SetProgramDir(program.Path());
  CreateDataFolders();
  std::filesystem::current_path(work.Path());
  Options().SetLines({"DEngines=1"});

  std::vector<double> startups;
  for (int run = 0; run < 5; ++run) startups.push_back(StartupMs(work));
  std::sort(startups.begin(), startups.end());
  std::printf("start-up to first paint, 1000 keywords: median %.1f ms (min %.1f, max %.1f, 5 runs)\n", startups[2],
              startups[0], startups[4]);

  const Stalls stalls = SearchStalls(program);
  std::printf(
      "20-engine loopback search (2000 records): %.1f ms, its start %.1f ms; longest event-loop gap %.1f ms; "
      "gaps over 16 ms: %d; longest main-thread work between two turns %.1f ms CPU\n",
      stalls.searchMs, stalls.startMs, stalls.longestMs, stalls.over16, stalls.longestBusyMs);
  return 0;
}
