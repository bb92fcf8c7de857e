#pragma once
#include <filesystem>
#include <string>
#include <string_view>

#include "core/engines/EngineIndex.h"

namespace quorvex {

// Adds a learned definition to the engine folder: writes it as a new file there (NAME.txt, else
// NAME-2.txt, NAME-3.txt, ..., whichever does not exist yet, so no definition is ever replaced), lists
// it as the last engine of category in index and saves index as the folder's Index.txt, both written
// atomically. NAME is name made safe as a file name, and as an engine name it loses the characters
// Index.txt gives a meaning ("=", ",", line ends); an empty name becomes "Learned engine".
// Returns "" on success; otherwise what went wrong, with index and the folder as they were.
std::string AddLearnedEngine(const std::filesystem::path& folder, EngineIndex& index, std::string_view category,
                             std::string_view name, std::string_view definition);

}  // namespace quorvex
