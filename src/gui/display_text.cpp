#include "gui/display_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "core/common/utf8.h"

namespace quorvex {

QString ToDisplay(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return IsValidUtf8(bytes) ? QString::fromUtf8(view) : FromGb18030(bytes);
}

QString FromGb18030(std::string_view bytes) {
  QStringDecoder gb("GB18030");
  return gb.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string FromTyped(const QString& text) {
  QStringEncoder gb("GB18030");
  const QByteArray bytes = gb.encode(text);
  return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

}  // namespace quorvex
