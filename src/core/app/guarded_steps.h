#pragma once
#include <functional>
#include <initializer_list>

namespace quorvex {

// Runs the steps in order until one fails (returns false or throws); the later steps are skipped.
// True when every step ran. For the shut-down, which must end the program whatever happens.
bool RunGuardedSteps(std::initializer_list<std::function<bool()>> steps);

}  // namespace quorvex
