#include "core/engines/learned_engine.h"

#include <cerrno>
#include <system_error>

#include "core/common/ascii.h"
#include "core/common/file_io.h"
#include "core/net/url.h"

namespace quorvex {
namespace {

// The engine's name as Index.txt can hold it: before the line's first "=", without the comma that
// would start its flag, on one line, and never read as a category header.
std::string IndexName(std::string_view name) {
  std::string text(name);
  for (char& c : text) {
    if (c == '=' || c == ',' || c == '[' || static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  text = TrimControls(text);
  return text.empty() ? std::string("Learned engine") : text;
}

bool Listed(const EngineIndex& index, std::string_view name) {
  for (const std::string& category : index.CategoryNames()) {
    for (const EngineRow& row : index.Engines(category)) {
      if (row.Name == name) return true;
    }
  }
  return false;
}

// The definition's file name: SafeName keeps it inside the folder, and a comma, which would end the
// file name in Index.txt, is replaced as well.
std::string DefinitionFile(const std::string& engine) {
  std::string stem = SafeName(engine);
  for (char& c : stem) {
    if (c == ',') c = '_';
  }
  return stem + ".txt";
}

struct TNewEngine {
  std::string name;
  std::string file;
};

// NAME, NAME-2, NAME-3, ...: the first that no engine of the index is called (so the health file and
// the result list can tell the engines apart) and no file of the folder is named.
TNewEngine FreeEngine(const std::filesystem::path& folder, const EngineIndex& index, const std::string& name) {
  for (int n = 1;; ++n) {
    TNewEngine engine;
    engine.name = n == 1 ? name : name + "-" + std::to_string(n);
    engine.file = DefinitionFile(engine.name);
    std::error_code error;  // a folder that cannot be looked into fails at the write, with its reason
    if (!Listed(index, engine.name) && !std::filesystem::exists(folder / engine.file, error)) return engine;
  }
}

}  // namespace

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): where it goes, then what it is, as Index.txt reads
std::string AddLearnedEngine(const std::filesystem::path& folder, EngineIndex& index, std::string_view category,
                             std::string_view name, std::string_view definition) {
  const TNewEngine engine = FreeEngine(folder, index, IndexName(name));
  const std::filesystem::path file = folder / engine.file;
  EngineIndex updated = index;
  if (!updated.AddEngine(category, engine.name, engine.file))
    return "There is no category \"" + std::string(category) + "\".";
  if (!WriteFileAtomically(file, definition)) return NotWrittenMessage(file, errno);
  if (!updated.Save(folder / EngineIndex::kFileName)) {
    const int error = errno;
    std::error_code ignored;
    std::filesystem::remove(file, ignored);  // a definition no index lists would only be litter
    return NotWrittenMessage(folder / EngineIndex::kFileName, error);
  }
  index = std::move(updated);
  return "";
}

}  // namespace quorvex
