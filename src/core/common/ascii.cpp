#include "core/common/ascii.h"

#include <algorithm>

namespace quorvex {
namespace {
bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

std::string AsciiLowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiToLower(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiToLower(a[i]) != AsciiToLower(b[i])) return false;
  }
  return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

size_t FindIgnoreCase(std::string_view haystack, std::string_view needle, size_t from) {
  if (from > haystack.size()) return std::string_view::npos;
  auto it = std::search(haystack.begin() + static_cast<std::ptrdiff_t>(from), haystack.end(), needle.begin(),
                        needle.end(), [](char x, char y) { return AsciiToLower(x) == AsciiToLower(y); });
  return it == haystack.end() && !needle.empty() ? std::string_view::npos
                                                 : static_cast<size_t>(it - haystack.begin());
}

std::string_view TrimControlsView(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsControlOrBlank(text[begin])) ++begin;
  while (end > begin && IsControlOrBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string TrimControls(std::string_view text) { return std::string(TrimControlsView(text)); }

std::string_view NextBlankWord(std::string_view text, size_t& at) {
  at = std::min(at, text.size());
  while (at < text.size() && IsControlOrBlank(text[at])) ++at;
  const size_t begin = at;
  while (at < text.size() && !IsControlOrBlank(text[at])) ++at;
  return text.substr(begin, at - begin);
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): as NextBlankWord, the text, then what to find
bool HasBlankWord(std::string_view text, std::string_view word) {
  size_t at = 0;
  for (std::string_view next = NextBlankWord(text, at); !next.empty(); next = NextBlankWord(text, at)) {
    if (EqualsIgnoreCase(next, word)) return true;
  }
  return false;
}

std::string StripControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (!IsControlOrBlank(c)) out += c;
  }
  return out;
}

}  // namespace quorvex
