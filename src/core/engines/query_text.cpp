#include "core/engines/query_text.h"

namespace quorvex {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The six bits a base64url character stands for, or -1.
int Base64UrlValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (IsDigit(c)) return c - '0' + 52;
  if (c == '-') return 62;
  if (c == '_') return 63;
  return -1;
}

}  // namespace

std::string EncodeQuery(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (const char c : text) {
    if (IsLetter(c) || IsDigit(c) || c == '.' || c == '/' || c == '\\') {
      out += c;
    } else if (c == ' ') {
      out += '+';
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

std::string DecodeQuery(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out += ' ';
      continue;
    }
    if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
      continue;
    }
    out += c;
  }
  return out;
}

std::string ExpandCharCodes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '#' || i + 1 == text.size()) {
      out += text[i++];
      continue;
    }
    ++i;
    // Reduced digit by digit: the number may be longer than any integer type holds.
    unsigned code = 0;
    while (i < text.size() && IsDigit(text[i])) code = (code * 10 + static_cast<unsigned>(text[i++] - '0')) % 256;
    out += static_cast<char>(code);
  }
  return out;
}

std::optional<std::string> DecodeBase64Url(std::string_view text) {
  const size_t padding = text.size() - text.find_last_not_of('=') - 1;
  if (padding > 0 && (padding > 2 || text.size() % 4 != 0)) return std::nullopt;
  text.remove_suffix(padding);
  // One character left over in the last group holds less than a byte.
  if (text.size() % 4 == 1) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 4 * 3 + 2);
  unsigned bits = 0;
  int bitCount = 0;
  for (const char c : text) {
    const int value = Base64UrlValue(c);
    if (value < 0) return std::nullopt;
    bits = (bits << 6 | static_cast<unsigned>(value)) & 0xFFFFFF;
    bitCount += 6;
    if (bitCount < 8) continue;
    bitCount -= 8;
    const auto byte = static_cast<unsigned char>(bits >> bitCount);
    if (byte < ' ' || byte == 0x7F) return std::nullopt;
    out += static_cast<char>(byte);
  }
  return out;
}

}  // namespace quorvex
