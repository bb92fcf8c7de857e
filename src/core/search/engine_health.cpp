#include "core/search/engine_health.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <system_error>

#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/common/numbers.h"
#include "core/net/url.h"
#include "core/pages/page_folder.h"
#include "core/store/record_line.h"

namespace quorvex {
namespace {

constexpr TEngineState kStates[] = {TEngineState::Worked, TEngineState::NoResults, TEngineState::Blocked,
                                    TEngineState::NoRecordMatched, TEngineState::Failed};

// Tabs and line breaks would split a line of the health file.
std::string OneField(std::string_view text) {
  std::string field(text);
  std::replace_if(field.begin(), field.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return field;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t')) {
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

// An exclusive lock on the engine folder's Health.lock while held: writers that re-read and replace the
// health file one after the other keep each other's lines. A folder where the lock file cannot be made
// (read-only) goes without it. The write runs on the window's thread, so a lock another process keeps
// (a stopped check-engines) is waited for a short while only.
class THealthLock {
 public:
  explicit THealthLock(const std::filesystem::path& folder)
      : fd_(::open((folder / "Health.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    for (int attempt = 0; fd_ >= 0 && !held_ && attempt < 100; ++attempt) {
      held_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
      if (!held_ && errno != EINTR) ::usleep(10'000);
    }
  }
  ~THealthLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  THealthLock(const THealthLock&) = delete;
  THealthLock& operator=(const THealthLock&) = delete;

  // False only when another writer kept the lock past the wait.
  bool Usable() const { return fd_ < 0 || held_; }

 private:
  int fd_;
  bool held_ = false;
};

}  // namespace

const char* EngineStateName(TEngineState state) {
  switch (state) {
    case TEngineState::Worked: return "worked";
    case TEngineState::NoResults: return "no results";
    case TEngineState::Blocked: return "blocked";
    case TEngineState::NoRecordMatched: return "no record matched";
    case TEngineState::Failed: break;
  }
  return "failed";
}

TEngineHealth ClassifyOutcome(const TEngineOutcome& outcome, double when) {
  TEngineHealth health{outcome.name, TEngineState::Failed, outcome.failure, outcome.reported, outcome.pages,
                       outcome.milliseconds, when};
  const std::string_view failure = outcome.failure;
  if (outcome.reported > 0) {
    health.state = TEngineState::Worked;
  } else if (failure.starts_with("blocked: ")) {
    health.state = TEngineState::Blocked;
    health.reason = failure.substr(9);
  } else if (failure.starts_with("no results: ")) {
    health.state = TEngineState::NoResults;
    health.reason = failure.substr(12);
  } else if (failure.starts_with("no record matched") || failure.empty()) {
    health.state = TEngineState::NoRecordMatched;
    health.reason = failure.starts_with("no record matched: ") ? failure.substr(19) : failure;
  }
  return health;
}

std::vector<TEngineHealth> ParseHealth(std::string_view text) {
  std::vector<TEngineHealth> engines;
  for (const std::string& line : SplitLines(text)) {
    const std::vector<std::string_view> fields = SplitTabs(line);
    if (fields.size() < 7 || fields[0].empty()) continue;
    const auto state = std::find_if(std::begin(kStates), std::end(kStates),
                                    [&](TEngineState s) { return fields[1] == EngineStateName(s); });
    if (state == std::end(kStates)) continue;
    engines.push_back({std::string(fields[0]), *state, std::string(fields[6]), ParseIntOr(fields[2], 0),
                       ParseIntOr(fields[3], 0), ParseInt64Or(fields[4], 0), ParseStoredReal(fields[5])});
  }
  return engines;
}

std::string HealthText(const std::vector<TEngineHealth>& engines) {
  std::string text;
  for (const TEngineHealth& engine : engines) {
    text += OneField(engine.name) + '\t' + EngineStateName(engine.state) + '\t' + std::to_string(engine.records) +
            '\t' + std::to_string(engine.pages) + '\t' + std::to_string(engine.milliseconds) + '\t' +
            FormatReal(engine.when) + '\t' + OneField(engine.reason) + '\n';
  }
  return text;
}

std::filesystem::path KeptPagePath(const std::filesystem::path& folder, std::string_view engineName) {
  // A name that SafeName changes could meet another engine's ("A/B" and "A_B"): it gets the mapped name,
  // which holds a "=" that no plain name holds.
  const bool plain = SafeName(engineName) == engineName && engineName.size() <= 200;
  return folder / "KeptPages" / ((plain ? std::string(engineName) : MappedPageFolderName(engineName)) + ".html");
}

std::filesystem::path KeptRequestPath(const std::filesystem::path& keptPage) {
  std::filesystem::path request = keptPage;
  return request.replace_extension(".request");
}

TKeptRequest ReadKeptRequest(const std::filesystem::path& keptPage) {
  TKeptRequest request;
  for (const std::string& line : SplitLines(ReadWholeFile(KeptRequestPath(keptPage)).value_or(""))) {
    if (line.starts_with("key=")) request.keyword = line.substr(4);
    if (line.starts_with("url=")) request.address = line.substr(4);
    if (line.starts_with("charset=")) request.charset = line.substr(8);
  }
  return request;
}

std::string RecordEngineHealth(const std::filesystem::path& folder, const std::vector<TEngineOutcome>& outcomes,
                               double when) {
  if (outcomes.empty()) return {};
  // Read just before it is replaced, so that another writer's engines (the window's and check-engines'
  // at the same time) keep their lines.
  const std::filesystem::path file = folder / kHealthFileName;
  const THealthLock lock(folder);
  if (!lock.Usable())
    return (folder / "Health.lock").string() +
           " is held by another program: the engines' outcomes of this search are not kept.";
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text && MayExist(file))
    return file.string() + " cannot be read: the engines' outcomes of this search are not kept.";
  std::vector<TEngineHealth> engines = ParseHealth(text.value_or(""));
  std::vector<const TEngineOutcome*> telling;  // blocked, or no record matched: their pages are kept
  for (const TEngineOutcome& outcome : outcomes) {
    const TEngineHealth health = ClassifyOutcome(outcome, when);
    if (health.state == TEngineState::Blocked || health.state == TEngineState::NoRecordMatched)
      telling.push_back(&outcome);
    const auto same =
        std::find_if(engines.begin(), engines.end(), [&](const TEngineHealth& e) { return e.name == health.name; });
    if (same == engines.end())
      engines.push_back(health);
    else
      *same = health;
  }
  // A folder that cannot be written (an installed program's) keeps no health, silently.
  WriteFileAtomically(file, HealthText(engines));
  for (const TEngineOutcome* told : telling) {
    const TEngineOutcome& outcome = *told;
    const std::filesystem::path page = KeptPagePath(folder, outcome.name);
    const std::filesystem::path request = KeptRequestPath(page);
    std::error_code error;
    // The page and its request describe one search: the old request goes before the new page comes, and
    // a page left without its new request goes too, so that no page is learned from with another's
    // search. An empty page, or one that cannot be written, leaves no older page to be taken for it.
    std::filesystem::remove(request, error);
    if (!outcome.keptPage.empty()) std::filesystem::create_directories(page.parent_path(), error);
    if (outcome.keptPage.empty() || !WriteFileAtomically(page, outcome.keptPage) ||
        !WriteFileAtomically(request, "key=" + OneField(outcome.keyword) + "\nurl=" + OneField(outcome.address) +
                                          "\ncharset=" + OneField(outcome.charset) + "\n"))
      std::filesystem::remove(page, error);
  }
  return {};
}

}  // namespace quorvex
