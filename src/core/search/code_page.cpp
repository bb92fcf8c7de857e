#include "core/search/code_page.h"

#include <cstdint>

#include "core/search/gb_big5_tables.h"

namespace quorvex {
namespace {

// Table entry for a two-byte code (lead byte high, trail byte low), or 0 when the code has none; its
// bytes then pass unchanged.
using Lookup = std::uint16_t (*)(unsigned code);

std::uint16_t GbToBig5Entry(unsigned code) {
  const unsigned lead = code >> 8;
  const unsigned trail = code & 0xFF;
  // Only 0xA1-0xFE are GB2312 columns; another trail byte (a GBK character, or broken text) would
  // otherwise wrap round into a cell of the next row and turn into an unrelated character.
  if (trail < 0xA1 || trail > 0xFE) return 0;
  const unsigned index = ((lead + 95) % 256) * 94 + (trail + 95) % 256;
  return index < kGbToBig5.size() ? kGbToBig5[index] : 0;
}

std::uint16_t Big5ToGbEntry(unsigned code) {
  const unsigned lead = code >> 8;
  const unsigned trail = code & 0xFF;
  // The same wrap-round guard: 0x7F-0xA0 and 0xFF are no BIG5 trail bytes.
  unsigned column = 0;
  if (trail >= 0x40 && trail <= 0x7E) {
    column = trail - 0x40;
  } else if (trail >= 0xA1 && trail <= 0xFE) {
    column = trail - 0x62;
  } else {
    return 0;
  }
  if (lead >= 0xA1) {
    const unsigned index = (lead - 0xA1) * kBig5Columns + column;
    return index < kBig5ToGb.size() ? kBig5ToGb[index] : 0;
  }
  if (lead >= 0x81) {
    const unsigned index = (lead - 0x81) * kBig5Columns + column;
    return index < kBig5LowToGb.size() ? kBig5LowToGb[index] : 0;
  }
  return 0;
}

std::string Convert(std::string_view text, Lookup lookup) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    // A high byte that ends the text or its line starts no character.
    if (lead < 0x80 || i + 1 == text.size() || text[i + 1] == '\n') {
      out += text[i++];
      continue;
    }
    const std::uint16_t entry = lookup(lead << 8 | static_cast<unsigned char>(text[i + 1]));
    if (entry == 0) {
      out += text.substr(i, 2);
    } else {
      out += static_cast<char>(entry >> 8);
      out += static_cast<char>(entry & 0xFF);
    }
    i += 2;
  }
  return out;
}

}  // namespace

std::string ConvertCodePage(std::string_view text, int from, int to) {
  if (from == kCodePageGb && to == kCodePageBig5) return Convert(text, GbToBig5Entry);
  if (from == kCodePageBig5 && to == kCodePageGb) return Convert(text, Big5ToGbEntry);
  return std::string(text);
}

}  // namespace quorvex
