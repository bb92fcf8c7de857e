#include "search_run_test_support.h"

#include "core/common/dispatcher.h"
#include "core/common/numbers.h"

namespace quorvex::test {
namespace {

class RecordingRow : public TSearchProgressRow {
 public:
  RecordingRow(RecordingDisplay& display, std::string_view engineName)
      : display_(display), prefix_("row " + std::string(engineName) + ": ") {
    ++display_.rowsAlive;
  }
  ~RecordingRow() override { --display_.rowsAlive; }
  RecordingRow(const RecordingRow&) = delete;
  RecordingRow& operator=(const RecordingRow&) = delete;
  void Connected() override { display_.Record(prefix_ + "Connected"); }
  void Downloading(int reported) override { display_.Record(prefix_ + "Downloading:" + std::to_string(reported)); }
  void FinishedDown(int added) override { display_.Record(prefix_ + "Finished:" + std::to_string(added)); }

 private:
  RecordingDisplay& display_;
  std::string prefix_;
};

}  // namespace

std::string ResultPage(const std::vector<Hit>& hits, const std::string& nextLink) {
  std::string body = "<html><body><ol>\n";
  for (const Hit& hit : hits) {
    body += "<li><a href=\"" + hit.url + "\">" + hit.title + "</a><p>" + hit.summary + "</p></li>\n";
  }
  body += "</ol>\n";
  if (!nextLink.empty()) body += "<div><a href=\"" + nextLink + "\"> Next </a></div>\n";
  body += "</body></html>\n";
  return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body;
}

ScriptedReply Answer(std::string bytes, int delayMs) {
  ScriptedReply reply;
  reply.delayMs = delayMs;
  reply.bytes = std::move(bytes);
  return reply;
}

ScriptedReply Stall() {
  ScriptedReply reply;
  reply.stall = true;
  return reply;
}

std::vector<std::string> Targets(const LoopbackServer& server) {
  std::vector<std::string> targets;
  for (const std::string& request : server.Requests()) {
    const size_t from = request.find(' ') + 1;
    targets.push_back(request.substr(from, request.find(' ', from) - from));
  }
  return targets;
}

std::string ListDefinition(const std::string& url, const std::string& headerLines) {
  return "url=" + url + "\n" + headerLines +
         "Head=\"\",\"\",\"\"\nUniqe=$1\n---\nli\na,href=$1\n$2\n/a\np\n$3\n/p\n---\nL,$4,ENG\n";
}

bool PumpUntil(QueueDispatcher& dispatcher, const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    dispatcher.WaitAndRunPending(std::chrono::milliseconds(20));
  }
  return done();
}

void PumpFor(QueueDispatcher& dispatcher, std::chrono::milliseconds period) {
  PumpUntil(
      dispatcher, [] { return false; }, period);
}

void RecordingDisplay::SetStatus(int panel, std::string_view text) {
  Record("status " + std::to_string(panel) + ": " + std::string(text));
}

std::unique_ptr<TSearchProgressRow> RecordingDisplay::AddProgressRow(std::string_view engineName, const TOneKey&) {
  Record("row added " + std::string(engineName));
  return std::make_unique<RecordingRow>(*this, engineName);
}

void RecordingDisplay::RunProgress(int runTotal, int countAll) {
  Record("total " + std::to_string(runTotal) + "/" + std::to_string(countAll));
}

std::vector<std::string> RecordingDisplay::Starting(std::string_view prefix) const {
  std::vector<std::string> found;
  for (const std::string& line : lines) {
    if (line.starts_with(prefix)) found.push_back(line);
  }
  return found;
}

int RecordingDisplay::FinishedCount(std::string_view engineName) const {
  const std::string prefix = "row " + std::string(engineName) + ": Finished:";
  const std::vector<std::string> found = Starting(prefix);
  return found.empty() ? -1 : ParseIntOr(std::string_view(found.back()).substr(prefix.size()), -1);
}

}  // namespace quorvex::test
