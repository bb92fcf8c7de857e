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

// One record of an engine as the controller hands it over, texts already cleaned and converted.
struct TFoundRecord {
  std::string Title;
  std::string Summary;
  std::string Url;
  std::uint8_t Language = 0;
};

// The search a record is merged into.
struct TMergeContext {
  const std::vector<std::string>& QueryWords;
  bool UpdateMode = false;
  double UpdateStart = 0;  // date-time at which the update search started
  double Now = 0;          // date-time stored as the found date of an added result
};

// What became of a merged record: dropped (no title or no URL once cleaned), known (found before in
// this search), or added (new, or refreshed by an update search).
enum class TMerged { Dropped, Known, Added };

// Merges one record of an engine into key's results. A URL already found in this search gains the
// engine's name (unless it occurs in the engines text already) and weight / 2; otherwise the result is
// made or, in an update search, refreshed, and scored.
TMerged MergeResult(TOneKey& key, TFoundRecord record, std::string_view engineName, int weight,
                    const TMergeContext& context);

}  // namespace quorvex
