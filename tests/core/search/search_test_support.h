#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/search_display.h"
#include "core/store/TOneResult.h"
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
// The same page as a local file holds it, without the HTTP header block.
std::string ResultFile(const std::vector<Hit>& hits);

// The target of each request the server read, in order ("GET /s?q=a HTTP/1.0" gives "/s?q=a").
std::vector<std::string> Targets(const LoopbackServer& server);

// A definition for ResultPage pages: url as given, then the header lines, the template and the rule
// languageRule (by default every record's fourth field is "ENG"; empty: no rule, three fields).
std::string ListDefinition(const std::string& url, const std::string& headerLines = {},
                           const std::string& languageRule = "L,$4,ENG");

// The engine names of a result's engine list ("A;B"), sorted; a name listed twice stays twice.
std::multiset<std::string> EngineNames(std::string_view engines);

// The result of url in key; a missing one fails the test (and reads as an empty result).
const TOneResult& Found(const TOneKey& key, std::string_view url);

// Runs the dispatcher's calls until done() holds; false when it still does not after timeout.
bool PumpUntil(QueueDispatcher& dispatcher, const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(30));

// What a search showed, engine by engine.
class RecordingDisplay : public TSearchDisplay {
 public:
  struct Engine {
    int connected = 0;
    int reported = -1;  // last Downloading count
    int added = -1;     // FinishedDown count; -1 until the engine finished
    std::string failure;
  };

  void ShowActivity(std::string_view text) override { activity.emplace_back(text); }
  void ActivityStateChanged() override {}
  void KeyAdded(TOneKey&) override {}
  void SearchStarted(TOneKey&) override {}
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) override;
  void ResultsMerged(TOneKey&, int runTotal, int countAll) override { lastTotal = {runTotal, countAll}; }
  void EnginesFinished() override { ++enginesFinished; }
  void SearchEnded(TOneKey&) override { ++ended; }

  std::map<std::string, Engine, std::less<>> engines;
  std::vector<std::string> activity;
  std::pair<int, int> lastTotal{-1, -1};
  int ended = 0;
  int enginesFinished = 0;
  int rowsAlive = 0;  // progress rows not yet freed
};

}  // namespace quorvex::test
