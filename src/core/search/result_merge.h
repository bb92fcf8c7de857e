#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class TOneKey;

// The words of a keyword for scoring: every blank and "+" separates words, then the text is split as a
// comma list (so two separators in a row give an empty word).
std::vector<std::string> QueryWordsOf(std::string_view keyword);

// (i + 1) x 10 for every word i (from 0) that occurs in text ignoring A-Z case, each word once; an
// empty word occurs in any non-empty text. 0 without words.
int KeywordScore(std::string_view text, const std::vector<std::string>& words);

// 128 for a bare host, halved for every "/" of the path: everything up to the first "//" and one
// trailing "/" do not count.
int UrlDepthScore(std::string_view url);

// One record of an engine, its title and summary in the stored code page with blanks squeezed and
// numeric references decoded (TRecordForm).
struct TFoundRecord {
  std::string Title;
  std::string Summary;
  std::string Url;
  std::uint8_t Language = 0;
};

// A record made ready for merging from nothing but itself, the engine's weight and the query words, so
// that the engine's worker thread makes it and the main thread only looks it up and inserts it.
struct TReadyRecord {
  TFoundRecord Record;     // title and summary entity-decoded and trimmed, URL trimmed without one trailing "/"
  std::string Key;         // the key text the result is stored under
  std::int32_t Score = 0;  // its score as a new result
  // A record without a title or a URL once cleaned is no result.
  bool Usable() const { return !Record.Title.empty() && !Record.Url.empty(); }
};

TReadyRecord ReadyRecord(TFoundRecord record, int weight, const std::vector<std::string>& queryWords);

// When a record is merged: an update search refreshes the results found before it started.
struct TMergeTime {
  bool UpdateMode = false;
  double UpdateStart = 0;  // date-time at which the update search started
  double Now = 0;          // date-time stored as the found date of an added result
};

// The search a record is merged into.
struct TMergeContext {
  const std::vector<std::string>& QueryWords;
  TMergeTime Time;
};

// What became of a merged record: dropped (no title or no URL once cleaned), known (found before in
// this search), or added (new, or refreshed by an update search).
enum class TMerged { Dropped, Known, Added };

// Merges one ready record of an engine into key's results. A URL already found in this search gains
// the engine's name (unless it occurs in the engines text already) and weight / 2; otherwise the result
// is made or, in an update search, refreshed, with the record's score.
TMerged MergeReady(TOneKey& key, TReadyRecord record, std::string_view engineName, int weight, const TMergeTime& time);

// ReadyRecord and MergeReady in one step.
TMerged MergeResult(TOneKey& key, TFoundRecord record, std::string_view engineName, int weight,
                    const TMergeContext& context);

}  // namespace quorvex
