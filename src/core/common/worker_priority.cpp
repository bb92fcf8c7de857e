#include "core/common/worker_priority.h"

#include <sys/resource.h>

namespace quorvex {

namespace {
// Enough for the scheduler to favour the main thread clearly; a worker still gets its share of an idle
// machine.
constexpr int kWorkerNiceness = 5;
}  // namespace

void LowerWorkerPriority() {
  // On Linux the nice value belongs to the calling thread. A failure only leaves the worker as it was.
  const int current = getpriority(PRIO_PROCESS, 0);
  setpriority(PRIO_PROCESS, 0, current + kWorkerNiceness);
}

}  // namespace quorvex
