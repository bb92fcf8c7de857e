#include "gui/list_fonts.h"

#include <algorithm>
#include <cmath>

#include "gui/display_text.h"

namespace quorvex {

QColor ToQColor(std::uint32_t color) {
  return {static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
          static_cast<int>((color >> 16) & 0xFF)};
}

std::uint32_t FromQColor(const QColor& color) {
  return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
         (static_cast<std::uint32_t>(color.blue()) << 16);
}

QFont ToQFont(const TFontSpec& spec, int delta) {
  QFont font(ToDisplay(spec.Face));
  const int height = spec.Height + delta;
  // A positive height is a cell height, which includes the leading above the characters.
  const int pixels = height < 0 ? -height : height * 4 / 5;
  font.setPixelSize(std::max(pixels, 1));
  font.setBold((spec.Style & kFontBold) != 0);
  font.setItalic((spec.Style & kFontItalic) != 0);
  font.setUnderline((spec.Style & kFontUnderline) != 0);
  font.setStrikeOut((spec.Style & kFontStrikeOut) != 0);
  return font;
}

TFontSpec FromQFont(const QFont& font, const TFontSpec& base) {
  TFontSpec spec = base;
  spec.Face = FromTyped(font.family());
  int pixels = font.pixelSize();
  if (pixels <= 0) {
    // A font dialog that offers whole points shows the pixel height it was given rounded to a point;
    // that same point size back means the size was left as it was.
    const int given = base.Height < 0 ? -base.Height : base.Height * 4 / 5;
    const bool unchanged = font.pointSizeF() == std::round(given * 72.0 / 96);
    pixels = unchanged ? given : static_cast<int>(std::lround(font.pointSizeF() * 96 / 72));
  }
  spec.Height = -std::max(pixels, 1);
  spec.Style = (font.bold() ? kFontBold : 0) | (font.italic() ? kFontItalic : 0) |
               (font.underline() ? kFontUnderline : 0) | (font.strikeOut() ? kFontStrikeOut : 0);
  return spec;
}

}  // namespace quorvex
