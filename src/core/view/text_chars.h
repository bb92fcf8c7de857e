#pragma once
#include <cstddef>
#include <string_view>

namespace quorvex {

// How a result's text is written: UTF-8 when the whole text is valid UTF-8, else GB (the result list
// shows it the same way).
enum class TTextCoding { Gb, Utf8 };

TTextCoding CodingOf(std::string_view text);

// Length in bytes of the character starting at pos: a whole UTF-8 sequence, or a GB character of one,
// two or four bytes as GB18030 reads it. Bytes that start no character count one each, so a walk by
// this length always advances and never runs past the end.
size_t CharLength(std::string_view text, size_t pos, TTextCoding coding);

// The start of the character holding pos (pos itself when it starts one), walking from the front.
size_t CharStartAtOrBefore(std::string_view text, size_t pos, TTextCoding coding);

}  // namespace quorvex
