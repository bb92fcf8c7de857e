#pragma once
#include <QString>
#include <string>
#include <string_view>

namespace quorvex {

// The one place where the core's 8-bit text meets Qt: valid UTF-8 is shown as UTF-8, anything else is
// read as GB18030 (a superset of GB2312, so GB pages read as Chinese); what the user types is stored as
// GB18030 bytes, which leaves ASCII unchanged.
QString ToDisplay(std::string_view bytes);
// Bytes read as GB18030 whatever they look like: for pieces of a text already known to be GB.
QString FromGb18030(std::string_view bytes);
std::string FromTyped(const QString& text);

}  // namespace quorvex
