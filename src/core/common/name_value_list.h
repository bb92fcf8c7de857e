#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// Lines of "name=value", as option.txt, Config.txt, definition headers and tag attributes hold them.
// The name is the text before the first "="; look-ups ignore A-Z case and take the first match.
// Lines without "=" are kept as they are and never match.
class NameValueList {
 public:
  NameValueList() = default;
  explicit NameValueList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  // The text after the first "=" of the first line with this name; empty when there is none.
  std::string Value(std::string_view name) const;
  // Position of the first line with this name, or -1.
  int IndexOfName(std::string_view name) const;
  // Replaces the first line of that name, or appends one; an empty value removes the line.
  void SetValue(std::string_view name, std::string_view value);

  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Clear() { lines_.clear(); }
  bool Empty() const { return lines_.empty(); }
  size_t Count() const { return lines_.size(); }
  const std::string& operator[](size_t i) const { return lines_[i]; }
  std::string& operator[](size_t i) { return lines_[i]; }
  const std::vector<std::string>& Lines() const { return lines_; }
  std::vector<std::string>& Lines() { return lines_; }

  // Name and value of one line; a line without "=" has the whole line as name and no value.
  static std::string_view NameOf(std::string_view line);
  static std::string_view ValueOf(std::string_view line);

  // One line per entry, each ended by CR LF.
  std::string ToText() const;
  // Replaces the entries by the lines of text (LF or CR LF line ends).
  void SetText(std::string_view text);

 private:
  std::vector<std::string> lines_;
};

// Splits text into lines at LF, dropping a CR right before it; a last line without LF counts too.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace quorvex
