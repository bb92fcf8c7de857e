#include "search_test_support.h"

#include <gtest/gtest.h>

#include "core/common/dispatcher.h"
#include "core/store/TOneKey.h"

namespace quorvex::test {
namespace {

class RecordingRow : public TSearchProgressRow {
 public:
  RecordingRow(RecordingDisplay& display, RecordingDisplay::Engine& engine) : display_(display), engine_(engine) {
    ++display_.rowsAlive;
  }
  ~RecordingRow() override { --display_.rowsAlive; }
  RecordingRow(const RecordingRow&) = delete;
  RecordingRow& operator=(const RecordingRow&) = delete;
  void Connected() override { ++engine_.connected; }
  void Downloading(int reported) override { engine_.reported = reported; }
  void FinishedDown(int added, std::string_view failure) override {
    engine_.added = added;
    engine_.failure = failure;
  }

 private:
  RecordingDisplay& display_;
  RecordingDisplay::Engine& engine_;
};

}  // namespace

std::string ResultFile(const std::vector<Hit>& hits) {
  std::string body = "<html><body><ol>\n";
  for (const Hit& hit : hits) {
    body += "<li><a href=\"" + hit.url + "\">" + hit.title + "</a><p>" + hit.summary + "</p></li>\n";
  }
  return body + "</ol>\n";
}

std::string ResultPage(const std::vector<Hit>& hits, const std::string& nextLink) {
  std::string body = ResultFile(hits);
  if (!nextLink.empty()) body += "<div><a href=\"" + nextLink + "\"> Next </a></div>\n";
  return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body + "</body></html>\n";
}

std::vector<std::string> Targets(const LoopbackServer& server) {
  std::vector<std::string> targets;
  for (const std::string& request : server.Requests()) {
    const size_t from = request.find(' ') + 1;
    targets.push_back(request.substr(from, request.find(' ', from) - from));
  }
  return targets;
}

std::string ListDefinition(const std::string& url, const std::string& headerLines, const std::string& languageRule) {
  return "url=" + url + "\n" + headerLines + "Head=\"\",\"\",\"\"\nUniqe=$1\n---\nli\na,href=$1\n$2\n/a\np\n$3\n/p\n" +
         (languageRule.empty() ? "" : "---\n" + languageRule + "\n");
}

std::multiset<std::string> EngineNames(std::string_view engines) {
  std::multiset<std::string> names;
  for (size_t from = 0, semicolon = 0; semicolon != std::string_view::npos; from = semicolon + 1) {
    semicolon = engines.find(';', from);
    names.emplace(engines.substr(from, semicolon - from));
  }
  return names;
}

const TOneResult& Found(const TOneKey& key, std::string_view url) {
  static const TOneResult kMissing;
  const TOneResult* result = key.Results.Find(TResultList::KeyOf(url));
  if (result == nullptr) ADD_FAILURE() << "no result " << url;
  return result != nullptr ? *result : kMissing;
}

bool PumpUntil(QueueDispatcher& dispatcher, const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    dispatcher.WaitAndRunPending(std::chrono::milliseconds(20));
  }
  return done();
}

std::unique_ptr<TSearchProgressRow> RecordingDisplay::AddProgressRow(std::string_view engineName, const TOneKey&) {
  return std::make_unique<RecordingRow>(*this, engines[std::string(engineName)]);
}

}  // namespace quorvex::test
