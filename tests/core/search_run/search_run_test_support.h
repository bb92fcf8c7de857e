#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/search_display.h"
#include "support/loopback_server.h"

namespace quorvex {
class QueueDispatcher;
}

namespace quorvex::test {

// One result of a served page.
struct Hit {
  std::string url;
  std::string title;
  std::string summary;
};

// An HTTP/1.0 answer holding a result list: "<ol><li><a href=URL>TITLE</a><p>SUMMARY</p></li>...</ol>",
// and a link with the text "Next" to nextLink when it is given.
std::string ResultPage(const std::vector<Hit>& hits, const std::string& nextLink = {});

// A scripted connection that answers with bytes after delayMs; one that reads the request and then
// holds the connection open without a word.
ScriptedReply Answer(std::string bytes, int delayMs = 0);
ScriptedReply Stall();

// The target of each request the server read, in order ("GET /s?q=a HTTP/1.0" gives "/s?q=a").
std::vector<std::string> Targets(const LoopbackServer& server);

// A definition for ResultPage pages: url as given, then the header lines, the template and "L,$4,ENG".
std::string ListDefinition(const std::string& url, const std::string& headerLines = {});

// Runs the dispatcher's calls until done() holds or timeout has passed; returns done().
bool PumpUntil(QueueDispatcher& dispatcher, const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(30));

// Runs the dispatcher's calls for a while.
void PumpFor(QueueDispatcher& dispatcher, std::chrono::milliseconds period);

// The display of a search as a list of lines such as "row Alpha: Downloading:3", "total 12/300" or
// "status 0: Finished".
class RecordingDisplay : public TSearchDisplay {
 public:
  void SetStatus(int panel, std::string_view text) override;
  void UpdateCommands() override { Record("commands"); }
  void KeyAdded(TOneKey&) override { Record("key added"); }
  void SearchStarted(TOneKey&) override { Record("search started"); }
  void SearchEnded(TOneKey&) override { Record("search ended"); }
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) override;
  void ShowProgressWindow(bool visible) override { Record(visible ? "progress shown" : "progress hidden"); }
  void RunProgress(int runTotal, int countAll) override;
  void FillProgressBar() override { Record("bar full"); }

  void Record(std::string line) { lines.push_back(std::move(line)); }
  // Lines that begin with prefix.
  std::vector<std::string> Starting(std::string_view prefix) const;
  // FinishedDown count of an engine, or -1 when it never finished.
  int FinishedCount(std::string_view engineName) const;

  std::vector<std::string> lines;
  int rowsAlive = 0;  // progress rows not yet freed
};

}  // namespace quorvex::test
