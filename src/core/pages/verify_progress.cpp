#include <algorithm>
#include <cstdio>

#include "core/pages/verify_display.h"

namespace quorvex {

TVerifyProgress VerifyProgressOf(int done, int total) {
  TVerifyProgress progress;
  progress.done = done;
  progress.total = total;
  progress.barMaximum = std::max(total - 1, 0);
  if (total < 2) {
    progress.percentage = "0%";
    return progress;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%5.2f%%", static_cast<double>(done) / total * 100.0);
  progress.percentage = text;
  return progress;
}

}  // namespace quorvex
