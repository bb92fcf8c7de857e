#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/locked_list.h"
#include "core/store/TResultList.h"

namespace quorvex {

class TVerify;

// Items of the match mode box, by match mode index.
inline constexpr std::array<const char*, 4> MatchModeNames = {"Whole words", "Any words", "Phrase", "Question"};
// Texts of a record's State, shown in the status bar and the keyword list's Status column.
inline constexpr std::array<const char*, 4> StateNames = {"Searching...", "Downloading...", "Updating...",
                                                          "Finished"};

// One keyword: the settings of its search and its merged results. Lives on the main thread; only the
// verification workers' list is touched by other threads, under its own lock.
class TOneKey {
 public:
  // An empty record in state 0, as a malformed AllKey.txt line leaves it.
  TOneKey() = default;
  // A record for a new search, in state 1. The caller sets PerEngineLimit and Loaded. Control bytes of
  // the keyword (line breaks, TAB, NUL) become spaces here, once, so that the keyword shown, searched,
  // written to AllKey.txt and naming the result file is one and the same text.
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the record's own field order
  TOneKey(std::string keyword, double date, int matchMode, int category);
  TOneKey(const TOneKey&) = delete;
  TOneKey& operator=(const TOneKey&) = delete;

  // A record from a line of AllKey.txt; the category is looked up by name, ignoring A-Z case.
  static std::unique_ptr<TOneKey> FromLine(std::string_view line, const std::vector<std::string>& categoryNames);
  // The line of AllKey.txt; the category is written by name (empty when the index names none).
  std::string ToLine(const std::vector<std::string>& categoryNames) const;

  std::filesystem::path ResultFile(const std::filesystem::path& resultDir) const;
  // Writes one line per result that has a URL, replacing the file atomically. A result file that exists
  // but could not be read is kept as it is (true: nothing of it is lost).
  bool SaveResults(const std::filesystem::path& resultDir) const;
  // Appends the results of the file and sets Loaded; without a readable file Loaded stays off so the
  // file is looked for again next time. A file that may exist but could not be read sets
  // ResultsUnreadable and leaves ResultCount as AllKey.txt gave it. Returns whether the file was read.
  bool LoadResults(const std::filesystem::path& resultDir);
  // Reads the result file unless it was read already: a search that adds to a keyword calls it first,
  // or saving would replace the file's results by the new ones alone.
  void EnsureLoaded(const std::filesystem::path& resultDir);
  // Moves Date forward one millisecond at a time while a record of keyList has the same result file
  // name, so that a new search never takes over another record's file.
  void AvoidFileNamesOf(const std::vector<TOneKey*>& keyList);

  // Deletes a result (looked up by identity) from Results and View and marks the keyword modified.
  // False when the result is not one of this keyword's.
  bool DeleteResult(const TOneResult* result);

  // The five columns of the keyword's row in the keyword list: match mode, date and time, result
  // count, category, state. An index that names nothing gives an empty column.
  std::array<std::string, 5> RowColumns(const std::vector<std::string>& categoryNames) const;

  std::string Keyword;
  std::int32_t Category = 0;   // position in the category box; -1 when the saved name is none
  std::int32_t MatchMode = 0;  // index into MatchModeNames
  double Date = 0;             // first searched
  std::int32_t ResultCount = 0;
  std::int32_t Extra1 = 0;  // the result list's selected index for this keyword
  std::int32_t Extra2 = 0;  // the result list's top index for this keyword
  std::int32_t VerifyNext = 0;
  std::int32_t VerifyDone = 0;
  TResultList Results;
  std::vector<TOneResult*> View;  // Results in display order after filter and sort; not owned
  std::string Classify;           // the keyword tree node selected when the search started
  bool Modified = false;
  std::uint8_t State = 0;  // index into StateNames
  std::int32_t PerEngineLimit = 20;
  // Verification workers of this keyword; they take themselves out of the list when they end. (The
  // search run owns the engine controllers of a search.)
  LockedList<TVerify*> Verifiers;
  std::int32_t RunningVerifiers = 0;
  bool Loaded = false;
  bool ResultsUnreadable = false;  // its result file is kept as it is: never written over
};

}  // namespace quorvex
