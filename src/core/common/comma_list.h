#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// Splits a comma list: items may be double-quoted (a doubled quote stands for one), an unquoted item
// ends at a comma or at any byte from 1 to 32, and bytes from 1 to 32 around items are skipped.
std::vector<std::string> SplitCommaList(std::string_view text);

}  // namespace quorvex
