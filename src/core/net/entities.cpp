#include "core/net/entities.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <utility>

namespace quorvex {
namespace {

// Replacements are plain ASCII so that they read the same in UTF-8 and GB18030 texts: typographic
// quotes and dashes, which today's pages write as named entities, become their plain forms.
constexpr std::array<std::pair<std::string_view, std::string_view>, 13> kEntities{{
    {"nbsp", ""},
    {"gt", ">"},
    {"lt", "<"},
    {"quot", "'"},  // a single quote: the texts it is used on are written between double quotes
    {"amp", "&"},
    {"middot", "."},
    {"lsquo", "'"},
    {"rsquo", "'"},
    {"ldquo", "'"},
    {"rdquo", "'"},
    {"ndash", "-"},
    {"mdash", "-"},
    {"hellip", "..."},
}};

// The replacement of a named entity, or nothing when the name is not listed.
const std::string_view* Replacement(std::string_view name) {
  for (const auto& [entity, replacement] : kEntities) {
    if (entity == name) return &replacement;
  }
  return nullptr;
}

constexpr char32_t kMaxCodePoint = 0x10FFFF;

std::string Utf8Of(char32_t code) {
  std::string out;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

std::optional<std::string> Gb18030Of(char32_t code) {
  const iconv_t descriptor = ::iconv_open("GB18030", "UTF-8");
  if (descriptor == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  const std::unique_ptr<void, int (*)(iconv_t)> converter(descriptor, &::iconv_close);
  std::string utf8 = Utf8Of(code);
  char in[4];
  char out[8];
  utf8.copy(in, sizeof in);
  char* inPos = in;
  char* outPos = out;
  size_t inLeft = utf8.size();
  size_t outLeft = sizeof out;
  if (::iconv(converter.get(), &inPos, &inLeft, &outPos, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
  return std::string(out, sizeof out - outLeft);
}

// The character a reference names, in encoding; nothing when it is to stay as written.
std::optional<std::string> CharacterOf(char32_t code, TTextEncoding encoding) {
  if (code > kMaxCodePoint || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0)) return std::string(" ");
  if (code == '&') return std::string("&amp;");
  if (code < 0x80 || encoding == TTextEncoding::Utf8) return Utf8Of(code);
  return Gb18030Of(code);
}

// The value of a hexadecimal digit, or 16 for any other character.
unsigned HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  return 16;
}

// The reference at the start of text ("&#", digits, ";"): its code (past kMaxCodePoint when too large)
// and length, or nothing.
std::optional<std::pair<char32_t, size_t>> ReadReference(std::string_view text) {
  if (text.substr(0, 2) != "&#") return std::nullopt;
  size_t at = 2;
  unsigned base = 10;
  if (at < text.size() && (text[at] == 'x' || text[at] == 'X')) {
    base = 16;
    ++at;
  }
  const size_t digitsStart = at;
  char32_t code = 0;
  for (; at < text.size() && HexDigitValue(text[at]) < base; ++at) {
    // Kept just past the largest character however many digits follow.
    code = std::min<char32_t>(code * base + HexDigitValue(text[at]), kMaxCodePoint + 1);
  }
  if (at == digitsStart || at == text.size() || text[at] != ';') return std::nullopt;
  return std::make_pair(code, at + 1);
}

}  // namespace

std::string DecodeNumericReferences(std::string_view text, TTextEncoding encoding) {
  std::string out;
  out.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    const size_t amp = text.find("&#", at);
    out.append(text.substr(at, amp - at));
    if (amp == std::string_view::npos) break;
    const auto reference = ReadReference(text.substr(amp));
    const std::optional<std::string> character = reference ? CharacterOf(reference->first, encoding) : std::nullopt;
    if (!character) {
      out += '&';
      at = amp + 1;
      continue;
    }
    out += *character;
    at = amp + reference->second;
  }
  return out;
}

std::string SqueezeBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool afterBlank = false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < ' ') continue;
    const bool blank = c == ' ';
    if (blank && afterBlank) continue;
    afterBlank = blank;
    out += c;
  }
  return out;
}

std::string DecodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t mark = std::string::npos;  // position in out of the "&" that may start an entity
  for (const char c : text) {
    if (c == '&') {
      mark = out.size();
    } else if (c == ';' && mark != std::string::npos) {
      const std::string_view* replacement = Replacement(std::string_view(out).substr(mark + 1));
      if (replacement != nullptr) {
        out.resize(mark);
        out.append(*replacement);
        mark = std::string::npos;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace quorvex
