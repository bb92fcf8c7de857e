#include "core/search/own_results.h"

#include <string_view>

#include "core/store/TOneKey.h"

namespace quorvex {
namespace {

// Whether name is one of the ";"-separated names of the engines text, as a whole (an engine whose
// name is part of another's, such as "Bing" of "Bing-2", is a different engine).
bool Names(std::string_view engines, std::string_view name) {
  for (size_t at = engines.find(name); at != std::string_view::npos; at = engines.find(name, at + 1)) {
    const size_t end = at + name.size();
    if ((at == 0 || engines[at - 1] == ';') && (end == engines.size() || engines[end] == ';')) return true;
  }
  return false;
}

}  // namespace

std::vector<TOwnResults> OwnResultCounts(const std::vector<TOneKey*>& keys, const std::vector<std::string>& engines,
                                         const std::filesystem::path& resultDir) {
  std::vector<TOwnResults> counts(engines.size());
  for (TOneKey* key : keys) {
    key->EnsureLoaded(resultDir);
    for (size_t r = 0; r < key->Results.Count(); ++r) {
      const std::string& found = key->Results[r].Engines;
      for (size_t e = 0; e < engines.size(); ++e) {
        if (engines[e].empty() || !Names(found, engines[e])) continue;
        ++counts[e].found;
        if (found == engines[e]) ++counts[e].own;
      }
    }
  }
  return counts;
}

}  // namespace quorvex
