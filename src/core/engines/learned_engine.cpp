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

// A file name of the folder that no file has yet; SafeName keeps it inside the folder and a comma,
// which would end the file name in Index.txt, is replaced as well.
std::filesystem::path FreeDefinitionFile(const std::filesystem::path& folder, const std::string& name) {
  std::string stem = SafeName(name);
  for (char& c : stem) {
    if (c == ',') c = '_';
  }
  for (int n = 1;; ++n) {
    const std::string file = n == 1 ? stem + ".txt" : stem + "-" + std::to_string(n) + ".txt";
    std::error_code error;  // a folder that cannot be looked into fails at the write, with its reason
    if (!std::filesystem::exists(folder / file, error)) return file;
  }
}

}  // namespace

std::string AddLearnedEngine(const std::filesystem::path& folder, EngineIndex& index, std::string_view category,
                             std::string_view name, std::string_view definition) {
  const std::string engine = IndexName(name);
  const std::filesystem::path file = FreeDefinitionFile(folder, engine);
  EngineIndex updated = index;
  if (!updated.AddEngine(category, engine, file.string()))
    return "There is no category \"" + std::string(category) + "\".";
  if (!WriteFileAtomically(folder / file, definition)) return NotWrittenMessage(folder / file, errno);
  if (!updated.Save(folder / EngineIndex::kFileName)) {
    const int error = errno;
    std::error_code ignored;
    std::filesystem::remove(folder / file, ignored);  // a definition no index lists would only be litter
    return NotWrittenMessage(folder / EngineIndex::kFileName, error);
  }
  index = std::move(updated);
  return "";
}

}  // namespace quorvex
