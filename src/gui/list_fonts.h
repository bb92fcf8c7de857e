#pragma once
#include <QColor>
#include <QFont>
#include <cstdint>

#include "core/view/list_look.h"

namespace quorvex {

// Colours as the list's settings keep them: red in the low byte, green, then blue.
QColor ToQColor(std::uint32_t color);
std::uint32_t FromQColor(const QColor& color);

// The font of a setting, its height changed by delta (negative heights are character heights in
// pixels, so a negative delta enlarges).
QFont ToQFont(const TFontSpec& spec, int delta = 0);
// A chosen font as a setting; colour and character set are kept from base.
TFontSpec FromQFont(const QFont& font, const TFontSpec& base);

}  // namespace quorvex
