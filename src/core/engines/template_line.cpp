#include "core/engines/template_line.h"

#include "core/common/comma_list.h"
#include "core/engines/record_fields.h"

namespace quorvex {
namespace {

bool IsPrefix(char c) { return c == '&' || c == '|' || c == '@'; }

TTemplateItem ParseItem(std::string_view text) {
  TTemplateItem item;
  const size_t eq = text.find('=');
  item.name = text.substr(0, eq);
  if (eq != std::string_view::npos) item.value = text.substr(eq + 1);
  item.isWordTest = eq != std::string_view::npos && !item.name.empty() && item.name.back() == '~';
  if (item.isWordTest) {
    item.name.pop_back();
    return item;
  }
  item.isCapture = !item.value.empty() && item.value.front() == '$';
  if (item.isCapture) item.field = ReadFieldReference(item.value);
  return item;
}

TTemplateAlternative ParseAlternative(std::string_view text) {
  TTemplateAlternative alternative;
  if (!text.empty() && IsPrefix(text.front())) {
    alternative.prefix = text.front();
    text.remove_prefix(1);
  }
  const std::vector<std::string> parts = SplitCommaList(text);
  if (parts.empty()) return alternative;
  alternative.hasTagName = true;
  alternative.tagName = parts.front();
  for (size_t i = 1; i < parts.size(); ++i) alternative.items.push_back(ParseItem(parts[i]));
  return alternative;
}

}  // namespace

TTemplateLine ParseTemplateLine(std::string_view line) {
  TTemplateLine parsed;
  parsed.isCapture = !line.empty() && line.front() == '$';
  if (parsed.isCapture) parsed.captureField = ReadFieldReference(line);
  size_t start = 0;
  for (;;) {
    const size_t semicolon = line.find(';', start);
    parsed.alternatives.push_back(ParseAlternative(line.substr(start, semicolon - start)));
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
  return parsed;
}

}  // namespace quorvex
