#pragma once
#include <array>
#include <string_view>
#include <vector>

namespace quorvex {

class TOneResult;

// Items of the "Order by" box; the index is the sort method. Item 4 ends in a blank.
inline constexpr std::array<const char*, 8> SortMethodNames = {"Download Order",
                                                               "Order by Score",
                                                               "Order by URL",
                                                               "Order by Title",
                                                               "Order by DateTime ",
                                                               "Order by Search Engine",
                                                               "Order by whether downloaded",
                                                               "Order by whether visited"};

// Ordinal comparison in which only a to z are folded (to A to Z); every other byte compares by its
// unsigned value, and a prefix comes first. Negative, 0 or positive.
int CompareFolded(std::string_view a, std::string_view b);

// Negative when a goes before b in the sort method's order, positive when after, 0 when equal.
// 1 score (highest first), 2 URL, 3 title, 4 found date-time (newest first), 5 length of the engines
// text (longest first), 6 page state (highest first), 7 visited first; ties of 1, 4, 6 and 7 and every
// other method go by URL.
int CompareResults(const TOneResult& a, const TOneResult& b, int sortMethod);

// Sorts a view into the order of CompareResults (not stable: equal results keep no particular order).
// Sorts compact keys rather than chasing every result's texts, so 10 000 results sort in well under
// the time of a paint.
void SortView(std::vector<TOneResult*>& view, int sortMethod);

}  // namespace quorvex
