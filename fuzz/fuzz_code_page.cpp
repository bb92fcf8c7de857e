// GB2312 and BIG5 text on arbitrary bytes: conversion keeps the length and every byte below 0x80, and
// GB18030 text always becomes valid UTF-8, for display and for engines that take UTF-8 keywords.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/search/code_page.h"
#include "core/common/utf8.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckRoundTrip(std::string_view text, int from, int to) {
  const std::string there = quorvex::ConvertCodePage(text, from, to);
  Check(there.size() == text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) < 0x80 && (i == 0 || static_cast<unsigned char>(text[i - 1]) < 0x80)) {
      Check(there[i] == text[i]);
    }
  }
  Check(quorvex::ConvertCodePage(there, to, from).size() == text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckRoundTrip(text, quorvex::kCodePageGb, quorvex::kCodePageBig5);
  CheckRoundTrip(text, quorvex::kCodePageBig5, quorvex::kCodePageGb);
  Check(quorvex::ConvertCodePage(text, 7, 0) == text);
  Check(quorvex::IsValidUtf8(quorvex::Gb18030ToUtf8(text)));
  Check(quorvex::IsValidUtf8(quorvex::Utf8Keyword(text)));
  return 0;
}
