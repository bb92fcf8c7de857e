#include "core/engines/extraction_rules.h"

#include "core/common/ascii.h"
#include "core/common/comma_list.h"
#include "core/common/datetime.h"
#include "core/engines/query_text.h"
#include "core/net/url.h"

namespace quorvex {
namespace {

// "+" rules can feed a field into itself, doubling it each time; a hostile definition must not be able
// to grow a field without bound.
constexpr size_t kMaxJoinedBytes = size_t{4} << 20;

[[noreturn]] void Fail(const TRuleLine& rule, std::string_view why) {
  throw EExtractionError("rule \"" + rule.text + "\": " + std::string(why));
}

// For the rules that test only the upper bound: a reference below 1 is an error, not a skip.
int RequireFieldIndex(const TRuleLine& rule, const std::string& reference) {
  const int index = ReadFieldReference(reference);
  if (index < 0) Fail(rule, "\"" + reference + "\" names no field");
  return index;
}

bool BelowCount(const TRecord& record, int index) { return static_cast<size_t>(index) < record.size(); }

// "S": splits a source field at the first occurrence of a separator into up to two existing fields.
void SplitField(const TRuleLine& rule, TRecord& record) {
  const auto& items = rule.items;
  if (items.size() < 4) return;
  const int source = ReadFieldReference(items[1]);
  const std::string separator = ExpandCharCodes(items[2]);
  if (!HasField(record, source) || separator.empty()) return;
  const size_t at = record[static_cast<size_t>(source)].find(separator);
  if (at == std::string::npos) return;
  std::string before = record[static_cast<size_t>(source)].substr(0, at);
  std::string after = record[static_cast<size_t>(source)].substr(at + separator.size());
  // A four-item line leaves the second destination out.
  const int first = ReadFieldReference(items[3]);
  const int second = items.size() > 4 ? ReadFieldReference(items[4]) : -1;
  if (HasField(record, first)) record[static_cast<size_t>(first)] = std::move(before);
  if (HasField(record, second)) record[static_cast<size_t>(second)] = std::move(after);
}

// "R": replaces a field's text by the value of the rule item named by that text.
void ReplaceField(const TRuleLine& rule, TRecord& record) {
  const auto& items = rule.items;
  if (items.size() < 3) return;
  const int field = ReadFieldReference(items[1]);
  if (!HasField(record, field)) return;
  std::string& text = record[static_cast<size_t>(field)];
  for (size_t i = 2; i < items.size(); ++i) {
    const size_t eq = items[i].find('=');
    if (eq == std::string::npos || !EqualsIgnoreCase(std::string_view(items[i]).substr(0, eq), text)) continue;
    if (eq + 1 < items[i].size()) text = items[i].substr(eq + 1);
    return;
  }
}

// "T", "U", "D": one change applied to every listed field below the field count.
template <typename Change>
void ChangeListedFields(const TRuleLine& rule, TRecord& record, Change change) {
  for (size_t i = 1; i < rule.items.size(); ++i) {
    const int field = RequireFieldIndex(rule, rule.items[i]);
    if (BelowCount(record, field)) record[static_cast<size_t>(field)] = change(record[static_cast<size_t>(field)]);
  }
}

// "A": like "T" and friends, but a field below 1 is skipped rather than an error.
void StripListedFields(const TRuleLine& rule, TRecord& record) {
  for (size_t i = 1; i < rule.items.size(); ++i) {
    const int field = ReadFieldReference(rule.items[i]);
    if (HasField(record, field)) record[static_cast<size_t>(field)] = StripControls(record[static_cast<size_t>(field)]);
  }
}

// "B": base64url text in each listed field that exists becomes the bytes it stands for; a field that
// holds no such text becomes empty, so that a later rule can tell.
void DecodeBase64UrlFields(const TRuleLine& rule, TRecord& record) {
  for (size_t i = 1; i < rule.items.size(); ++i) {
    const int field = ReadFieldReference(rule.items[i]);
    if (!HasField(record, field)) continue;
    std::string& text = record[static_cast<size_t>(field)];
    text = DecodeBase64Url(text).value_or(std::string());
  }
}

// "C": the verdict becomes whether the text occurs in the field; a fourth item "N" inverts it.
void CheckField(const TRuleLine& rule, const TRecord& record, bool& keep) {
  const auto& items = rule.items;
  if (items.size() < 3) return;
  const int field = ReadFieldReference(items[1]);
  if (HasField(record, field)) {
    // As with the result area markers, an empty text never occurs.
    keep = !items[2].empty() && record[static_cast<size_t>(field)].find(items[2]) != std::string::npos;
  }
  if (items.size() > 3 && items[3] == "N") keep = !keep;
}

// "L": sets a field, growing the record, to a fixed text or to one of three values of the search.
void LetField(const TRuleLine& rule, TRecord& record, const TRuleContext& context) {
  const auto& items = rule.items;
  if (items.size() < 3) return;
  const int field = ReadFieldReference(items[1]);
  if (!GrowToHold(record, field)) return;
  const std::string& value = items[2];
  std::string& target = record[static_cast<size_t>(field)];
  if (EqualsIgnoreCase(value, "$now$")) {
    target = FormatDateTime(NowDateTime());
  } else if (EqualsIgnoreCase(value, "$key$")) {
    target = context.encodedKey;
  } else if (EqualsIgnoreCase(value, "$prg$")) {
    target = context.prg;
  } else {
    target = value;
  }
}

// "+": joins fields and literal parts into a field.
void JoinIntoField(const TRuleLine& rule, TRecord& record) {
  const auto& items = rule.items;
  if (items.size() < 2) return;
  std::string joined;
  for (size_t i = 2; i < items.size(); ++i) {
    if (items[i].empty() || items[i].front() != '$') {
      joined += items[i];
      continue;
    }
    const int part = RequireFieldIndex(rule, items[i]);
    if (BelowCount(record, part)) joined += record[static_cast<size_t>(part)];
    if (joined.size() > kMaxJoinedBytes) Fail(rule, "joined text too long");
  }
  const int target = RequireFieldIndex(rule, items[1]);
  if (BelowCount(record, target)) record[static_cast<size_t>(target)] = std::move(joined);
}

void ApplyRule(const TRuleLine& rule, TRecord& record, const TRuleContext& context, bool& keep) {
  if (rule.items.empty() || rule.items.front().size() != 1) return;
  switch (rule.items.front().front()) {
    case 'S':
      SplitField(rule, record);
      break;
    case 'R':
      ReplaceField(rule, record);
      break;
    case 'T':
      ChangeListedFields(rule, record, [](const std::string& text) { return TrimControls(text); });
      break;
    case 'A':
      StripListedFields(rule, record);
      break;
    case 'U':
      ChangeListedFields(rule, record, [&](const std::string& text) { return JoinUrl(context.pageUrl, text); });
      break;
    case 'D':
      ChangeListedFields(rule, record, [](const std::string& text) { return DecodeQuery(text); });
      break;
    case 'B':
      DecodeBase64UrlFields(rule, record);
      break;
    case 'C':
      CheckField(rule, record, keep);
      break;
    case 'L':
      LetField(rule, record, context);
      break;
    case '+':
      JoinIntoField(rule, record);
      break;
    default:
      break;
  }
}

}  // namespace

TRuleLine ParseRuleLine(std::string_view line) { return TRuleLine{std::string(line), SplitCommaList(line)}; }

bool ApplyRuleLines(const std::vector<TRuleLine>& rules, TRecord& record, const TRuleContext& context) {
  bool keep = true;
  for (const TRuleLine& rule : rules) ApplyRule(rule, record, context, keep);
  return keep;
}

}  // namespace quorvex
