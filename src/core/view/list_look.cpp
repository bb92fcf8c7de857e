#include "core/view/list_look.h"

#include <vector>

#include "core/common/comma_list.h"
#include "core/common/numbers.h"
#include "core/store/record_line.h"

namespace quorvex {

TListLook::TListLook() {
  for (size_t i = 0; i < Fonts.size(); ++i) FontFromText("", Fonts[i], kFontDefaults[i]);
}

std::string FontToText(const TFontSpec& font) {
  std::string text = std::to_string(font.Color) + "," + std::to_string(font.Charset) + "," +
                     std::to_string(font.Height) + "," + std::to_string(font.Style);
  // A quote in the face is doubled, or the saved font would no longer read back and fall to the default.
  AppendVerbatimField(text, font.Face);
  return text;
}

void FontFromText(std::string_view text, TFontSpec& font, std::string_view defaultText) {
  const std::vector<std::string> fields = SplitCommaList(text.empty() ? defaultText : text);
  if (fields.size() != 5) return;
  font.Color = static_cast<std::uint32_t>(ParseInt64Or(fields[0], 0));
  font.Charset = ParseIntOr(fields[1], 0);
  font.Height = ParseIntOr(fields[2], 14);
  font.Style = ParseIntOr(fields[3], 0) & (kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut);
  font.Face = fields[4];
}

}  // namespace quorvex
