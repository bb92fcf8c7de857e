#pragma once
#include <filesystem>
#include <string>
#include <string_view>

#include "core/engines/EngineIndex.h"

namespace quorvex {

// Adds a learned definition to the engine folder: lists it as the last engine of category in index,
// named NAME, else NAME-2, NAME-3, ..., the first that neither names an engine of the index nor, made
// safe as a file name plus ".txt", a file of the folder (so no definition is ever replaced); writes it
// as that file and saves index as the folder's Index.txt, both atomically. NAME is name without the
// characters Index.txt gives a meaning ("=", ",", "[", line ends); an empty one is "Learned engine".
// Returns "" on success; otherwise what went wrong, with index and the folder as they were.
std::string AddLearnedEngine(const std::filesystem::path& folder, EngineIndex& index, std::string_view category,
                             std::string_view name, std::string_view definition);

}  // namespace quorvex
