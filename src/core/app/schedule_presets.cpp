#include "core/app/schedule_presets.h"

namespace quorvex {

std::optional<SearchLimits> SchedulePreset(int index) {
  switch (index) {
    case 0: return SearchLimits{20, 200};
    case 1: return SearchLimits{30, 300};
    case 2: return SearchLimits{40, 300};  // the detailed search keeps the overall limit of 300
    default: return std::nullopt;
  }
}

}  // namespace quorvex
