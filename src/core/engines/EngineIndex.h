#pragma once
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

struct EngineCategory {
  std::string Name;
  std::optional<int> Picture;  // the header's second item (10 when it is no integer); none without one
  size_t HeaderLine = 0;
};

struct EngineRow {
  std::string Name;  // the text before the line's first "=" (empty without one)
  size_t Line = 0;
  bool Checked = true;
};

// Index.txt of the engine folder held as its lines: "[name,picture]" category headers, each followed
// by its engine lines "name=definition file" with an optional ",0" that switches the engine off. Only
// the flag part of an engine line is ever rewritten; no line is added, removed or moved, so line
// numbers stay valid for as long as the index is loaded.
class EngineIndex {
 public:
  static constexpr const char* kFileName = "Index.txt";

  // Replaces the lines by the file's; false (lines unchanged) when it cannot be read.
  bool Load(const std::filesystem::path& file);
  // Writes the lines, CR LF-ended, replacing the file atomically.
  bool Save(const std::filesystem::path& file) const;

  const std::vector<std::string>& Lines() const { return lines_; }

  // The categories in header order.
  std::vector<EngineCategory> Categories() const;
  std::vector<std::string> CategoryNames() const;
  // The engines under the first header of that name (letter case counts), in line order.
  std::vector<EngineRow> Engines(std::string_view categoryName) const;
  // Rewrites an engine line as name, "=", the definition file and ",0" when unchecked; any further
  // items of the value are dropped. False for a line that is no engine line.
  bool SetChecked(size_t line, bool checked);
  // What a starting search gets: "name=definition file" of every checked engine of the category.
  std::vector<std::string> SearchEntries(std::string_view categoryName) const;

 private:
  std::vector<std::string> lines_;
};

}  // namespace quorvex
