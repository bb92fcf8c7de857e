#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// Code pages of engine pages and queries, as the "Version" of an engine definition names them. Any
// other number means text that is never converted.
inline constexpr int kCodePageGb = 0;
inline constexpr int kCodePageBig5 = 1;

// GB2312 text to BIG5 or back, one two-byte character at a time; bytes below 0x80 pass unchanged, a
// character without a counterpart becomes "??", and the result is always as long as the text. Any
// other pair of code pages returns the text as it is.
std::string ConvertCodePage(std::string_view text, int from, int to);

}  // namespace quorvex
