#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::cli {

// The category a search command searches: the engine folder's categories, the chosen one's index and
// "name=definition file" of its checked engines.
struct EngineCategoryChoice {
  std::vector<std::string> categories;
  int index = 0;
  std::vector<std::string> engines;
};

// The category named (the first one when none is), from the folder's Index.txt. Nothing, with problem
// telling why, when the index cannot be read or has no such category.
std::optional<EngineCategoryChoice> ChooseEngineCategory(const std::filesystem::path& engineFolder,
                                                         const std::optional<std::string>& name, std::string& problem);

}  // namespace quorvex::cli
