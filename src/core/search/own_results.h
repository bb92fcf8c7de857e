#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace quorvex {

class TOneKey;

// What an engine brought to the kept keywords: the results it found, and how many of them no other
// engine found.
struct TOwnResults {
  int found = 0;
  int own = 0;
};

// Per engine of engines, in that order, over every result of keys: found counts the results whose
// engines text (";"-separated names) names the engine, own those that name it alone. Keywords whose
// results are not loaded yet are loaded from resultDir first.
std::vector<TOwnResults> OwnResultCounts(const std::vector<TOneKey*>& keys, const std::vector<std::string>& engines,
                                         const std::filesystem::path& resultDir);

}  // namespace quorvex
