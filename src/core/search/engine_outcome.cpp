#include "core/search/engine_outcome.h"

namespace quorvex {

std::string GaveNothingSummary(const std::vector<TEngineOutcome>& outcomes, size_t engineCount) {
  std::string which;
  size_t count = 0;
  for (const TEngineOutcome& outcome : outcomes) {
    if (outcome.reported > 0) continue;
    ++count;
    which += (which.empty() ? "" : "; ") + outcome.name + " (" +
             (outcome.failure.empty() ? "no record" : outcome.failure) + ")";
  }
  if (count == 0) return {};
  return std::to_string(count) + " of " + std::to_string(engineCount) + (engineCount == 1 ? " engine" : " engines") +
         " gave nothing: " + which;
}

}  // namespace quorvex
