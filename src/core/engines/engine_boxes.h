#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/engines/page_items.h"
#include "core/engines/result_blocks.h"

namespace quorvex {

// A box of the engine's own whose blocks look exactly like results (results from the engine's own
// network), told by the heading it has where the results' list has none.
struct TEngineBox {
  std::string heading;  // the box's heading text
  std::string from;     // a "Skip" pair that leaves the box out: the heading's class word, and
  std::string to;       // a class word of what follows the box that occurs nowhere in it
  size_t blocks = 0;    // result blocks in the box
};

// The result blocks fall in groups, one per element that holds neighbouring blocks. A group whose
// outermost element of its own holds a short heading without a link before its first block is such a
// box when other groups, holding more blocks, have none. Nothing when no group is one, or when no pair
// of texts that occur once in the page cuts it out.
std::optional<TEngineBox> FindEngineBox(const std::vector<TPageItem>& items, const std::string& page,
                                        const std::vector<TResultBlock>& blocks);

}  // namespace quorvex
