#include "core/store/TOneKey.h"

#include <cmath>
#include <unordered_set>

#include "core/common/ascii.h"
#include "core/common/comma_list.h"
#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/common/numbers.h"
#include "core/store/record_line.h"
#include "core/store/result_file_name.h"

namespace quorvex {
namespace {

template <typename Names>
std::string NameAt(const Names& names, std::int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= names.size()) return {};
  return std::string(names[static_cast<size_t>(index)]);
}

std::int32_t PositionIgnoringCase(const std::vector<std::string>& names, std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (EqualsIgnoreCase(names[i], name)) return static_cast<std::int32_t>(i);
  }
  return -1;
}

std::string WithoutControls(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

constexpr double kMillisecondsPerDay = 86400000.0;

}  // namespace

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the record's own field order
TOneKey::TOneKey(std::string keyword, double date, int matchMode, int category)
    : Keyword(WithoutControls(std::move(keyword))), Category(category), MatchMode(matchMode), Date(date), State(1) {}

std::unique_ptr<TOneKey> TOneKey::FromLine(std::string_view line, const std::vector<std::string>& categoryNames) {
  auto key = std::make_unique<TOneKey>();
  const std::vector<std::string> items = SplitCommaList(line);
  if (items.size() <= 5) return key;
  key->State = 3;
  key->Keyword = items[0];
  key->Category = PositionIgnoringCase(categoryNames, items[1]);
  key->MatchMode = ParseIntOr(items[2], 0);
  key->Date = ParseStoredReal(items[3]);
  key->ResultCount = ParseIntOr(items[4], 0);
  key->Classify = items[5];
  if (items.size() > 6) key->Extra1 = ParseIntOr(items[6], 0);
  if (items.size() > 7) key->Extra2 = ParseIntOr(items[7], 0);
  return key;
}

std::string TOneKey::ToLine(const std::vector<std::string>& categoryNames) const {
  std::string line;
  AppendVerbatimField(line, Keyword);
  AppendVerbatimField(line, NameAt(categoryNames, Category));
  AppendVerbatimField(line, std::to_string(MatchMode));
  AppendVerbatimField(line, FormatReal(Date));
  AppendVerbatimField(line, std::to_string(ResultCount));
  AppendVerbatimField(line, Classify);
  AppendVerbatimField(line, std::to_string(Extra1));
  AppendVerbatimField(line, std::to_string(Extra2));
  return line;
}

std::filesystem::path TOneKey::ResultFile(const std::filesystem::path& resultDir) const {
  return resultDir / ResultFileName(Keyword, Date);
}

bool TOneKey::SaveResults(const std::filesystem::path& resultDir) const {
  if (ResultsUnreadable) return true;
  std::string text;
  for (size_t i = 0; i < Results.Count(); ++i) {
    if (Results[i].Url.empty()) continue;
    text += Results[i].ToLine();
    text += "\r\n";
  }
  return WriteFileAtomically(ResultFile(resultDir), text);
}

bool TOneKey::LoadResults(const std::filesystem::path& resultDir) {
  const std::optional<std::string> text = ReadWholeFile(ResultFile(resultDir));
  ResultsUnreadable = !text && MayExist(ResultFile(resultDir));
  if (ResultsUnreadable) return false;
  if (text) {
    for (const std::string& line : SplitLines(*text)) {
      TOneResult result = TOneResult::FromLine(line);
      std::string key = TResultList::KeyOf(result.Url);
      Results.Add(std::move(key), std::move(result));
    }
    Loaded = true;
  }
  ResultCount = static_cast<std::int32_t>(Results.Count());
  return text.has_value();
}

void TOneKey::EnsureLoaded(const std::filesystem::path& resultDir) {
  if (!Loaded) LoadResults(resultDir);
}

void TOneKey::AvoidFileNamesOf(const std::vector<TOneKey*>& keyList) {
  std::unordered_set<std::string> taken;
  for (const TOneKey* other : keyList) {
    if (other != this) taken.insert(ResultFileName(other->Keyword, other->Date));
  }
  // Counted in whole milliseconds, so that each step moves the name's milliseconds by exactly one.
  const double start = std::round(Date * kMillisecondsPerDay);
  for (double step = 0; taken.contains(ResultFileName(Keyword, Date)); ++step) {
    Date = (start + step + 1) / kMillisecondsPerDay;
  }
}

bool TOneKey::DeleteResult(const TOneResult* result) {
  // Out of the view first: it must never point at a freed result, even before its next rebuild.
  std::erase(View, result);
  if (!Results.Remove(result)) return false;
  Modified = true;
  ResultCount = static_cast<std::int32_t>(Results.Count());
  return true;
}

std::array<std::string, 5> TOneKey::RowColumns(const std::vector<std::string>& categoryNames) const {
  return {NameAt(MatchModeNames, MatchMode), FormatDateTime(Date), std::to_string(ResultCount),
          NameAt(categoryNames, Category), NameAt(StateNames, State)};
}

}  // namespace quorvex
