#include "gui/display_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "core/search/utf8_keyword.h"

namespace quorvex {

QString ToDisplay(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (IsValidUtf8(bytes)) return QString::fromUtf8(view);
  QStringDecoder gb("GB18030");
  return gb.decode(view);
}

std::string FromTyped(const QString& text) {
  QStringEncoder gb("GB18030");
  const QByteArray bytes = gb.encode(text);
  return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

}  // namespace quorvex
