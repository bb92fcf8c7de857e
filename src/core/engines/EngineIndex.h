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
// by its engine lines "name=definition file" with an optional ",0" that switches the engine off. Apart
// from AddEngine, only the flag part of an engine line is ever rewritten and no line is added, removed
// or moved, so line numbers stay valid until an engine is added.
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
  // Lists "name=definition file" as the last engine of the first category of that name (before the
  // blank lines that end it). False, lines unchanged, when there is no such category.
  bool AddEngine(std::string_view categoryName, std::string_view name, std::string_view file);
  // What a starting search gets: "name=definition file" of every checked engine of the category.
  std::vector<std::string> SearchEntries(std::string_view categoryName) const;

 private:
  // The first header of that category; the line count when there is none.
  size_t HeaderLine(std::string_view categoryName) const;

  std::vector<std::string> lines_;
};

}  // namespace quorvex
