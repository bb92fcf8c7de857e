#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// Case folding touches only the letters A to Z: GB and BIG5 bytes must pass through unchanged.
constexpr char AsciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string AsciiLowered(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
// Position of the first occurrence of needle in haystack ignoring A-Z case, or npos.
size_t FindIgnoreCase(std::string_view haystack, std::string_view needle, size_t from = 0);

// Bytes from 0 to 32 (controls and the space) removed at both ends / everywhere.
std::string TrimControls(std::string_view text);
std::string_view TrimControlsView(std::string_view text);
std::string StripControls(std::string_view text);

// The next word of text from at on, words being separated by bytes 0 to 32 (a class attribute's
// names); at moves past it. Empty when no word is left.
std::string_view NextBlankWord(std::string_view text, size_t& at);
// Whether word is one of those words, ignoring A-Z case (a class word of a class attribute).
bool HasBlankWord(std::string_view text, std::string_view word);

}  // namespace quorvex
