#include "core/view/text_chars.h"

#include "core/common/utf8.h"

namespace quorvex {
namespace {

unsigned char ByteAt(std::string_view text, size_t pos) { return static_cast<unsigned char>(text[pos]); }

size_t Utf8Length(std::string_view text, size_t pos) {
  const unsigned char lead = ByteAt(text, pos);
  size_t length = 1;
  if (lead >= 0xF0) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = 3;
  } else if (lead >= 0xC0) {
    length = 2;
  }
  if (pos + length > text.size()) return 1;
  for (size_t i = 1; i < length; ++i) {
    if ((ByteAt(text, pos + i) & 0xC0) != 0x80) return 1;
  }
  return length;
}

bool IsGbLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsGbDigit(unsigned char byte) { return byte >= 0x30 && byte <= 0x39; }

size_t GbLength(std::string_view text, size_t pos) {
  if (!IsGbLead(ByteAt(text, pos)) || pos + 1 >= text.size()) return 1;
  const unsigned char second = ByteAt(text, pos + 1);
  if (IsGbDigit(second)) {
    const bool four = pos + 3 < text.size() && IsGbLead(ByteAt(text, pos + 2)) && IsGbDigit(ByteAt(text, pos + 3));
    return four ? 4 : 1;
  }
  return second >= 0x40 && second != 0x7F && second != 0xFF ? 2 : 1;
}

}  // namespace

TTextCoding CodingOf(std::string_view text) { return IsValidUtf8(text) ? TTextCoding::Utf8 : TTextCoding::Gb; }

size_t CharLength(std::string_view text, size_t pos, TTextCoding coding) {
  return coding == TTextCoding::Utf8 ? Utf8Length(text, pos) : GbLength(text, pos);
}

size_t CharStartAtOrBefore(std::string_view text, size_t pos, TTextCoding coding) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t next = start + CharLength(text, start, coding);
    if (next > pos) return start;
    start = next;
  }
  return start;
}

}  // namespace quorvex
