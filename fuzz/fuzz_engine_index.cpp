// Index.txt of the engine folder on arbitrary bytes: categories and engines are found without fault,
// switching every engine off and on again never adds or drops a line, and a search starts with exactly
// the checked engines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/engines/EngineIndex.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const std::filesystem::path& IndexFile() {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("quorvex-fuzz-index-" + std::to_string(::getpid()) + ".txt");
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::ofstream(IndexFile(), std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                       static_cast<std::streamsize>(size));
  quorvex::EngineIndex index;
  Check(index.Load(IndexFile()));
  std::filesystem::remove(IndexFile());
  const size_t lineCount = index.Lines().size();
  for (const std::string& category : index.CategoryNames()) {
    const auto engines = index.Engines(category);
    // A row without "=" has no flag to rewrite, so it keeps taking part.
    size_t fixedRows = 0;
    for (const quorvex::EngineRow& row : engines) {
      Check(row.Line < lineCount);
      if (!index.SetChecked(row.Line, false)) ++fixedRows;
    }
    Check(index.SearchEntries(category).size() == fixedRows);
    for (const quorvex::EngineRow& row : engines) (void)index.SetChecked(row.Line, true);
    Check(index.SearchEntries(category).size() == engines.size());
    Check(index.Lines().size() == lineCount);
  }
  return 0;
}
