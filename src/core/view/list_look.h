#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// A font as the result list keeps it and Config.txt stores it. Colours hold red in the low byte, green
// in the second and blue in the third.
struct TFontSpec {
  std::uint32_t Color = 0;
  int Charset = 0;
  int Height = -14;  // negative: character height in pixels
  int Style = 0;     // bits: 1 bold, 2 italic, 4 underline, 8 strike-out
  std::string Face = "Tahoma";
  bool operator==(const TFontSpec&) const = default;
};

enum TFontStyle : int { kFontBold = 1, kFontItalic = 2, kFontUnderline = 4, kFontStrikeOut = 8 };

// The five fonts of the result list, by their number in SetFontByIndex (1 to 5) minus one.
enum class TListFont { Title = 0, Summary = 1, Url = 2, Hilight = 3, Visited = 4 };

// How the result list looks: its fonts, summary lines and grid, saved in Config.txt.
struct TListLook {
  TListLook();
  std::array<TFontSpec, 5> Fonts;
  int SummaryLine = 5;  // 0 to 5
  bool DisplayGrid = true;
  std::uint32_t GridLine = 12632256;  // silver
  TFontSpec& Font(TListFont which) { return Fonts[static_cast<size_t>(which)]; }
  const TFontSpec& Font(TListFont which) const { return Fonts[static_cast<size_t>(which)]; }
  bool operator==(const TListLook&) const = default;
};

// Config.txt keys of the five fonts and their default texts, by TListFont.
inline constexpr std::array<const char*, 5> kFontKeys = {"TitleFont", "SummaryFont", "URLFont", "HilightFont",
                                                         "VisitedFont"};
inline constexpr std::array<const char*, 5> kFontDefaults = {
    "16711680,0,-14,0,\"Tahoma\"", "0,0,-14,0,\"Tahoma\"", "8421504,0,-15,2,\"Tahoma\"",
    "32768,0,-14,0,\"Tahoma\"", "8388736,0,-14,0,\"Tahoma\""};

// Colour, character set, height, style bits and the quoted face, comma-separated.
std::string FontToText(const TFontSpec& font);
// Sets font from text, or from defaultText when text is empty; a text of other than five items leaves
// the font as it is.
void FontFromText(std::string_view text, TFontSpec& font, std::string_view defaultText);

}  // namespace quorvex
