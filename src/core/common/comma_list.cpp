#include "core/common/comma_list.h"

namespace quorvex {
namespace {

bool IsBlankOrControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

void SkipBlanks(std::string_view text, size_t& pos) {
  while (pos < text.size() && IsBlankOrControl(text[pos])) ++pos;
}

std::string ReadQuotedItem(std::string_view text, size_t& pos) {
  std::string item;
  ++pos;  // opening quote
  while (pos < text.size()) {
    if (text[pos] == '"') {
      if (pos + 1 < text.size() && text[pos + 1] == '"') {
        item += '"';
        pos += 2;
        continue;
      }
      ++pos;  // closing quote
      return item;
    }
    item += text[pos++];
  }
  return item;
}

std::string ReadPlainItem(std::string_view text, size_t& pos) {
  const size_t start = pos;
  while (pos < text.size() && text[pos] != ',' && static_cast<unsigned char>(text[pos]) > 32) ++pos;
  return std::string(text.substr(start, pos - start));
}

}  // namespace

std::vector<std::string> SplitCommaList(std::string_view text) {
  // The list ends at a NUL byte, as these texts are read everywhere; this also keeps a NUL, which is
  // neither skipped nor part of an item, from stalling the scan.
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> items;
  size_t pos = 0;
  SkipBlanks(text, pos);
  while (pos < text.size()) {
    items.push_back(text[pos] == '"' ? ReadQuotedItem(text, pos) : ReadPlainItem(text, pos));
    SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == ',') {
      ++pos;
      SkipBlanks(text, pos);
    }
  }
  return items;
}

}  // namespace quorvex
