#include "core/engines/EngineIndex.h"

#include "core/common/ascii.h"
#include "core/common/comma_list.h"
#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/common/numbers.h"

namespace quorvex {
namespace {

constexpr int kBadPicture = 10;

bool IsHeader(std::string_view line) { return !line.empty() && line.front() == '['; }

// The header's comma list sits between its first and last character, whatever the last one is.
std::vector<std::string> HeaderItems(std::string_view line) {
  return SplitCommaList(line.size() < 2 ? std::string_view() : line.substr(1, line.size() - 2));
}

// A line without "=" has neither a name nor a value.
std::string_view EngineName(std::string_view line) {
  const size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : line.substr(0, eq);
}

bool IsChecked(std::string_view line) {
  const std::string_view value = NameValueList::ValueOf(line);
  const size_t comma = value.find(',');
  return comma == std::string_view::npos || value.substr(comma + 1) != "0";
}

}  // namespace

bool EngineIndex::Load(const std::filesystem::path& file) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return false;
  lines_ = SplitLines(*text);
  return true;
}

bool EngineIndex::Save(const std::filesystem::path& file) const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return WriteFileAtomically(file, text);
}

std::vector<EngineCategory> EngineIndex::Categories() const {
  std::vector<EngineCategory> categories;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!IsHeader(lines_[i])) continue;
    const std::vector<std::string> items = HeaderItems(lines_[i]);
    if (items.empty()) continue;
    EngineCategory category{items[0], std::nullopt, i};
    if (items.size() > 1) category.Picture = ParseIntOr(items[1], kBadPicture);
    categories.push_back(std::move(category));
  }
  return categories;
}

std::vector<std::string> EngineIndex::CategoryNames() const {
  std::vector<std::string> names;
  for (EngineCategory& category : Categories()) names.push_back(std::move(category.Name));
  return names;
}

size_t EngineIndex::HeaderLine(std::string_view categoryName) const {
  for (size_t line = 0; line < lines_.size(); ++line) {
    if (!IsHeader(lines_[line])) continue;
    const std::vector<std::string> items = HeaderItems(lines_[line]);
    if (!items.empty() && TrimControls(items[0]) == categoryName) return line;
  }
  return lines_.size();
}

std::vector<EngineRow> EngineIndex::Engines(std::string_view categoryName) const {
  std::vector<EngineRow> rows;
  for (size_t line = HeaderLine(categoryName) + 1; line < lines_.size() && !IsHeader(lines_[line]); ++line) {
    if (TrimControls(lines_[line]).empty()) continue;  // a blank line lists no engine
    rows.push_back({std::string(EngineName(lines_[line])), line, IsChecked(lines_[line])});
  }
  return rows;
}

bool EngineIndex::SetChecked(size_t line, bool checked) {
  if (line == 0 || line >= lines_.size() || IsHeader(lines_[line])) return false;
  const std::string_view text = lines_[line];
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos) return false;  // rewriting would lose the line's only text
  // The definition file is the value's text up to its first comma, taken as it stands, so that a file
  // name with a blank in it survives the rewrite.
  const std::string_view value = text.substr(eq + 1);
  std::string rewritten(text.substr(0, eq + 1));
  rewritten += value.substr(0, value.find(','));
  if (!checked) rewritten += ",0";
  lines_[line] = std::move(rewritten);
  return true;
}

bool EngineIndex::AddEngine(std::string_view categoryName, std::string_view name, std::string_view file) {
  const size_t header = HeaderLine(categoryName);
  if (header == lines_.size()) return false;
  const std::vector<EngineRow> rows = Engines(categoryName);
  const size_t at = rows.empty() ? header + 1 : rows.back().Line + 1;
  std::string line(name);
  line += '=';
  line += file;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  return true;
}

std::vector<std::string> EngineIndex::SearchEntries(std::string_view categoryName) const {
  std::vector<std::string> entries;
  for (const EngineRow& row : Engines(categoryName)) {
    if (!row.Checked) continue;
    const std::string_view line = lines_[row.Line];
    entries.emplace_back(line.substr(0, line.find(',')));
  }
  return entries;
}

}  // namespace quorvex
