#include "core/common/name_value_list.h"

#include "core/common/ascii.h"

namespace quorvex {

std::string_view NameValueList::NameOf(std::string_view line) {
  const size_t eq = line.find('=');
  return eq == std::string_view::npos ? line : line.substr(0, eq);
}

std::string_view NameValueList::ValueOf(std::string_view line) {
  const size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

int NameValueList::IndexOfName(std::string_view name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view line = lines_[i];
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos && EqualsIgnoreCase(line.substr(0, eq), name)) return static_cast<int>(i);
  }
  return -1;
}

std::string NameValueList::Value(std::string_view name) const {
  const int index = IndexOfName(name);
  return index < 0 ? std::string() : std::string(ValueOf(lines_[static_cast<size_t>(index)]));
}

void NameValueList::SetValue(std::string_view name, std::string_view value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) lines_.erase(lines_.begin() + index);
    return;
  }
  std::string line(name);
  line += '=';
  line += value;
  if (index >= 0) {
    lines_[static_cast<size_t>(index)] = std::move(line);
  } else {
    lines_.push_back(std::move(line));
  }
}

std::string NameValueList::ToText() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void NameValueList::SetText(std::string_view text) { lines_ = SplitLines(text); }

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.emplace_back(text.substr(start, stop - start));
    start = next;
  }
  return lines;
}

}  // namespace quorvex
