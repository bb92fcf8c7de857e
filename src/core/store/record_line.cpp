#include "core/store/record_line.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/common/numbers.h"

namespace quorvex {
namespace {

// A line feed ends the record's line and a NUL ends the comma list when the line is read back.
bool BreaksLine(char c) { return c == '\n' || c == '\0'; }

template <typename MapByte>
void AppendField(std::string& line, std::string_view text, MapByte mapByte) {
  if (!line.empty()) line += ',';
  line += '"';
  for (char c : text) mapByte(line, c);
  line += '"';
}

}  // namespace

void AppendVerbatimField(std::string& line, std::string_view text) {
  AppendField(line, text, [](std::string& out, char c) {
    if (c == '"') out += '"';
    out += BreaksLine(c) ? ' ' : c;
  });
}

void AppendTextField(std::string& line, std::string_view text) {
  AppendField(line, text, [](std::string& out, char c) { out += c == '"' ? '\'' : BreaksLine(c) ? ' ' : c; });
}

void AppendUrlField(std::string& line, std::string_view url) {
  AppendField(line, url, [](std::string& out, char c) {
    if (BreaksLine(c) || c == '\r') return;
    if (c == '"') out += '"';
    out += c;
  });
}

double ParseStoredReal(std::string_view text) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double value = ParseRealOr(text, nan);
  if (!std::isnan(value)) return value;
  if (std::count(text.begin(), text.end(), ',') != 1 || text.find('.') != std::string_view::npos) return 0;
  std::string withPoint(text);
  std::replace(withPoint.begin(), withPoint.end(), ',', '.');
  return ParseRealOr(withPoint, 0);
}

}  // namespace quorvex
