#include "gui/result_text.h"

#include "gui/display_text.h"

namespace quorvex {

QString DecodeRun(std::string_view bytes, TTextCoding coding) {
  if (coding == TTextCoding::Utf8) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return FromGb18030(bytes);
}

void TFontMeasure::SetFont(TListRole role, const QFont& font) {
  Role& slot = roles_[Index(role)];
  slot.Font = font;
  slot.Metrics = QFontMetrics(font);
  for (size_t c = 0; c < slot.AsciiWidths.size(); ++c) {
    slot.AsciiWidths[c] = slot.Metrics.horizontalAdvance(QChar(static_cast<char16_t>(c)));
  }
}

int TFontMeasure::Width(TListRole role, std::string_view bytes, TTextCoding coding) const {
  const Role& slot = roles_[Index(role)];
  if (bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) < 128) {
    return slot.AsciiWidths[static_cast<unsigned char>(bytes[0])];
  }
  return slot.Metrics.horizontalAdvance(DecodeRun(bytes, coding));
}

int TFontMeasure::Height(TListRole role) const { return roles_[Index(role)].Metrics.height(); }

}  // namespace quorvex
