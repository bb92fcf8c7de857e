#include "core/app/guarded_steps.h"

#include <exception>

namespace quorvex {

bool RunGuardedSteps(std::initializer_list<std::function<bool()>> steps) {
  try {
    for (const std::function<bool()>& step : steps)
      if (!step()) return false;
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace quorvex
