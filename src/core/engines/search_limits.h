#pragma once

namespace quorvex {

// The two size limits of a search: an engine stops paging once it has reported more than
// CountPerEngine records, and every engine stops once the search has added more than CountAll results.
struct SearchLimits {
  int CountPerEngine = 30;
  int CountAll = 300;
};

}  // namespace quorvex
