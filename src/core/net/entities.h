#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// Replaces the named entities nbsp (by nothing), gt, lt, quot (by a single quote), amp, middot (by "."),
// the typographic quotes lsquo, rsquo, ldquo and rdquo (by a single quote), ndash and mdash (by "-") and
// hellip (by "...") in exact case; every other entity, numeric ones included, stays as written. A replacement is never
// decoded again.
std::string DecodeEntities(std::string_view text);

// What a numeric reference is decoded to: the engines' pages are UTF-8 or GB/BIG5, and the program keeps
// GB/BIG5 results as GB18030 text.
enum class TTextEncoding { Utf8, Gb18030 };

// Replaces the numeric character references "&#N;" (decimal) and "&#xH;" (hexadecimal) by the character
// in encoding. A reference to a control character becomes a blank; one to no character (a surrogate,
// beyond U+10FFFF) or to a character the encoding cannot write stays as written. A reference to "&"
// becomes "&amp;", because DecodeEntities runs over the same text afterwards and must not read a decoded
// "&" as the start of a named entity.
std::string DecodeNumericReferences(std::string_view text, TTextEncoding encoding);

// Drops every byte below the blank and keeps only the first blank of a run (dropped control bytes
// inside a run do not break it). Bytes from 128 up are kept.
std::string SqueezeBlanks(std::string_view text);

}  // namespace quorvex
