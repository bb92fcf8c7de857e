#include "core/search/result_merge.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/common/ascii.h"
#include "core/common/comma_list.h"
#include "core/net/entities.h"
#include "core/store/TOneKey.h"

namespace quorvex {
namespace {

// Scores are 32-bit in the result files. A hostile "Score" weight or a keyword of tens of thousands of
// words must saturate there instead of overflowing.
std::int32_t Saturated(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

std::int64_t WideKeywordScore(std::string_view text, const std::vector<std::string>& words) {
  std::int64_t score = 0;
  for (size_t i = 0; i < words.size(); ++i) {
    const bool occurs = words[i].empty() ? !text.empty() : FindIgnoreCase(text, words[i]) != std::string_view::npos;
    if (occurs) score += (static_cast<std::int64_t>(i) + 1) * 10;
  }
  return score;
}

std::int32_t NewResultScore(const TFoundRecord& record, int weight, const std::vector<std::string>& words) {
  const std::int64_t text = 2 * WideKeywordScore(record.Title, words) + WideKeywordScore(record.Url, words) +
                            WideKeywordScore(record.Summary, words);
  return Saturated(text / 4 + UrlDepthScore(record.Url) + weight);
}

std::string CleanUrl(std::string_view url) {
  std::string_view trimmed = TrimControlsView(url);
  if (!trimmed.empty() && trimmed.back() == '/') trimmed.remove_suffix(1);
  return DecodeEntities(trimmed);
}

}  // namespace

std::vector<std::string> QueryWordsOf(std::string_view keyword) {
  std::string separated(keyword);
  std::replace_if(
      separated.begin(), separated.end(), [](char c) { return c == ' ' || c == '+'; }, ',');
  return SplitCommaList(separated);
}

int KeywordScore(std::string_view text, const std::vector<std::string>& words) {
  return Saturated(WideKeywordScore(text, words));
}

int UrlDepthScore(std::string_view url) {
  const size_t scheme = url.find("//");
  if (scheme != std::string_view::npos) url.remove_prefix(scheme + 2);
  if (!url.empty() && url.back() == '/') url.remove_suffix(1);
  const auto levels = std::count(url.begin(), url.end(), '/');
  return levels >= 8 ? 0 : 128 >> levels;
}

TReadyRecord ReadyRecord(TFoundRecord record, int weight, const std::vector<std::string>& queryWords) {
  TReadyRecord ready;
  ready.Record.Url = CleanUrl(record.Url);
  ready.Record.Title = TrimControls(DecodeEntities(record.Title));
  ready.Record.Summary = TrimControls(DecodeEntities(record.Summary));
  ready.Record.Language = record.Language;
  if (!ready.Usable()) return ready;
  ready.Key = TResultList::KeyOf(ready.Record.Url);
  ready.Score = NewResultScore(ready.Record, weight, queryWords);
  return ready;
}

TMerged MergeReady(TOneKey& key, TReadyRecord record, std::string_view engineName, int weight, const TMergeTime& time) {
  if (!record.Usable()) return TMerged::Dropped;

  key.Modified = true;
  TOneResult* found = key.Results.Find(record.Key);
  if (found != nullptr && (!time.UpdateMode || found->Found >= time.UpdateStart)) {
    // A substring test: an engine whose name is part of a name already listed adds nothing.
    if (found->Engines.find(engineName) == std::string::npos) {
      found->Engines += ';';
      found->Engines += engineName;
      found->Score = Saturated(static_cast<std::int64_t>(found->Score) + weight / 2);
    }
    return TMerged::Known;
  }

  TOneResult& result = found != nullptr ? *found : key.Results.Add(std::move(record.Key), TOneResult{});
  result.Score = record.Score;
  result.Title = std::move(record.Record.Title);
  result.Summary = std::move(record.Record.Summary);
  result.Url = std::move(record.Record.Url);
  result.Language = record.Record.Language;
  result.Engines = engineName;
  result.Found = time.Now;
  key.ResultCount = static_cast<std::int32_t>(key.Results.Count());
  return TMerged::Added;
}

TMerged MergeResult(TOneKey& key, TFoundRecord record, std::string_view engineName, int weight,
                    const TMergeContext& context) {
  return MergeReady(key, ReadyRecord(std::move(record), weight, context.QueryWords), engineName, weight, context.Time);
}

}  // namespace quorvex
