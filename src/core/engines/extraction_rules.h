#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/engines/record_fields.h"

namespace quorvex {

// A rule line of a definition, split once as a comma list when the definition is loaded.
struct TRuleLine {
  std::string text;  // the line as written, for error messages
  std::vector<std::string> items;
};

TRuleLine ParseRuleLine(std::string_view line);

// What the rules read besides the record.
struct TRuleContext {
  std::string_view pageUrl;     // base of "U"
  std::string_view encodedKey;  // "$key$" of "L"
  std::string_view prg;         // "$prg$" of "L"
};

// Runs the rules in order over a completed record, changing it in place; returns the keep verdict.
// Throws EExtractionError when "T", "U", "D" or "+" names a field below 1.
bool ApplyRuleLines(const std::vector<TRuleLine>& rules, TRecord& record, const TRuleContext& context);

}  // namespace quorvex
