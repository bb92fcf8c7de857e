#pragma once
#include <array>
#include <optional>

#include "core/engines/search_limits.h"

namespace quorvex {

// The entries of the keyword dialog's schedule choice.
inline constexpr std::array<const char*, 4> kScheduleNames = {"Quick Search", "Normal Search", "Detailed Search",
                                                              "Costomize Search"};
inline constexpr int kNormalSchedule = 1;
inline constexpr int kCustomSchedule = 3;

// The limits an entry writes into the dialog; nothing for the custom entry, which keeps what is typed.
std::optional<SearchLimits> SchedulePreset(int index);

}  // namespace quorvex
