#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/engine_outcome.h"

namespace quorvex {

// How an engine's last search went, as the user reads it.
enum class TEngineState { Worked, NoResults, Blocked, NoRecordMatched, Failed };

// "worked", "no results", "blocked", "no record matched", "failed".
const char* EngineStateName(TEngineState state);

// The last outcome of one engine, kept across runs of the program.
struct TEngineHealth {
  std::string name;
  TEngineState state = TEngineState::Failed;
  std::string reason;  // what was seen on a block or no-results page, or why the request failed
  int records = 0;     // reported by the engine with an address and a title
  int pages = 0;       // fetched
  long long milliseconds = 0;
  double when = 0;  // date-time of the search
};

// The state and reason of an engine's part of a search: records make it worked; otherwise the reason
// the first page gave nothing names it ("blocked: TEXT", "no results: TEXT", "no record matched: ...");
// anything else is a failed request, the reason its failure.
TEngineHealth ClassifyOutcome(const TEngineOutcome& outcome, double when);

// The engine folder's health file, one engine a line: name, state, records, pages, time in ms,
// date-time and reason, tab-separated. The date-time is written with a "." whatever the locale (the
// window runs under the user's) and read as stored reals are. Lines that cannot be read are passed over.
std::vector<TEngineHealth> ParseHealth(std::string_view text);
std::string HealthText(const std::vector<TEngineHealth>& engines);

// Keeps the engines' outcomes in the health file of folder (replacing each engine's line, the file read
// again just before its one atomic write so that other writers' lines stay), and, for an engine that was
// blocked or whose definition matched no record, the page that showed it and its request, replacing
// those kept before. A health file that exists but cannot be read is never written over: returns what
// the user is told then, else "" (also when the folder cannot be written: it keeps no health).
std::string RecordEngineHealth(const std::filesystem::path& folder, const std::vector<TEngineOutcome>& outcomes,
                               double when);

// The health file and the folder of kept pages inside an engine folder. Two engine names never share a
// kept page.
inline constexpr const char* kHealthFileName = "Health.txt";
std::filesystem::path KeptPagePath(const std::filesystem::path& folder, std::string_view engineName);

// What a kept page was the answer to: the keyword (UTF-8), the page's address and charset; empty texts
// when they are not known.
struct TKeptRequest {
  std::string keyword;
  std::string address;
  std::string charset;  // the page's, as the engine's definition names it: for a page that declares none
};
std::filesystem::path KeptRequestPath(const std::filesystem::path& keptPage);
TKeptRequest ReadKeptRequest(const std::filesystem::path& keptPage);

}  // namespace quorvex
