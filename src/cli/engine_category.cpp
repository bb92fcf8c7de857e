#include "cli/engine_category.h"

#include <algorithm>

#include "core/engines/EngineIndex.h"

namespace quorvex::cli {

std::optional<EngineCategoryChoice> ChooseEngineCategory(const std::filesystem::path& engineFolder,
                                                         const std::optional<std::string>& name, std::string& problem) {
  EngineIndex index;
  if (!index.Load(engineFolder / EngineIndex::kFileName)) {
    problem = "cannot read '" + (engineFolder / EngineIndex::kFileName).string() + "'";
    return std::nullopt;
  }
  EngineCategoryChoice choice;
  choice.categories = index.CategoryNames();
  const auto category = name ? std::find(choice.categories.begin(), choice.categories.end(), *name) : choice.categories.begin();
  if (category == choice.categories.end()) {
    problem = name ? "no category '" + *name + "'" : "the engine index has no category";
    return std::nullopt;
  }
  choice.index = static_cast<int>(category - choice.categories.begin());
  choice.engines = index.SearchEntries(*category);
  return choice;
}

}  // namespace quorvex::cli
