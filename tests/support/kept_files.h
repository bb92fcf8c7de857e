#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/app/AppState.h"
#include "core/app/LayoutConfig.h"
#include "core/config/Options.h"
#include "core/common/unsaved_files.h"
#include "core/engines/EngineIndex.h"
#include "core/store/KeyTree.h"

namespace quorvex::test {

// Everything the program keeps on disk (AllKey.txt, the result files, KeyTree.txt, Config.txt,
// option.txt and Index.txt) in one of two versions that differ in every file; the keywords and their
// dates, hence the result file names, are the same in both. One folder serves as program, engine and
// working folder.
class KeptFiles {
 public:
  explicit KeptFiles(int version);

  // Writes every file through the program's own savers, in the shut-down's order; the files that
  // could not be written.
  UnsavedFiles Save(const std::filesystem::path& folder);

 private:
  AppState app_;
  std::vector<TKeyTreeNode> tree_;
  TLayoutConfig layout_;
  OptionsTable options_;
  EngineIndex index_;
};

// What the program's loaders read from folder, by file name relative to it: each file in a canonical
// text (the loaded records written out again); a file that cannot be read is missing from the map.
std::map<std::string, std::string> ReadKeptFiles(const std::filesystem::path& folder);

}  // namespace quorvex::test
