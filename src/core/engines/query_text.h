#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

// The keyword as it goes into a request URL: letters, digits, ".", "/" and "\" stay, a space becomes
// "+", every other byte (0x80-0xFF included) becomes "%" and two upper-case hex digits.
std::string EncodeQuery(std::string_view text);

// The reverse for result fields: "%" with two hex digits (either case) becomes that byte, "+" a space;
// a "%" without two hex digits after it stays as it is.
std::string DecodeQuery(std::string_view text);

// Every "#" followed by decimal digits becomes the byte of that number modulo 256; a "#" without
// digits becomes byte 0, except in the last position, where it stays. Lets a rule name separators such
// as CR LF ("#13#10") that a definition line cannot hold.
std::string ExpandCharCodes(std::string_view text);

// The bytes that base64url text (letters, digits, "-" and "_"; "=" padding optional, but when present
// it must fill the last group of four) stands for. Nothing for any other text, and for text whose bytes
// hold a control character: the decoded text goes into a result field, where such bytes have no place.
std::optional<std::string> DecodeBase64Url(std::string_view text);

}  // namespace quorvex
