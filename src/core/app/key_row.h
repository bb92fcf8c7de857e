#pragma once
#include <array>
#include <string>
#include <vector>

namespace quorvex {

struct AppState;
class TOneKey;

// The six columns of a keyword's row in the keyword list: the keyword, then match type, date, result
// count, category and state. The state is that of the work running on the keyword at this moment
// ("Searching...", "Downloading..."), and "Finished" once it has ended.
std::array<std::string, 6> KeyRowTexts(const TOneKey& key, const AppState& app,
                                       const std::vector<std::string>& categoryNames);

}  // namespace quorvex
