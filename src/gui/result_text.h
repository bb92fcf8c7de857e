#pragma once
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <array>
#include <string_view>

#include "core/view/result_layout.h"
#include "core/view/text_chars.h"

namespace quorvex {

// A piece of a result's text for drawing, read in the coding of the whole text it was cut from (a
// short GB piece can look like UTF-8 on its own).
QString DecodeRun(std::string_view bytes, TTextCoding coding);

// Measures with the list's fonts; ASCII widths are looked up, since wrapping measures every character.
class TFontMeasure : public TTextMeasure {
 public:
  void SetFont(TListRole role, const QFont& font);
  const QFont& Font(TListRole role) const { return roles_[Index(role)].Font; }
  int Width(TListRole role, std::string_view bytes, TTextCoding coding) const override;
  int Height(TListRole role) const override;

 private:
  struct Role {
    QFont Font;
    QFontMetrics Metrics{QFont()};
    std::array<int, 128> AsciiWidths{};
  };
  static size_t Index(TListRole role) { return static_cast<size_t>(role); }
  std::array<Role, 8> roles_;
};

}  // namespace quorvex
