#include "core/search/search_loop.h"

#include <chrono>

#include "core/common/dispatcher.h"
#include "core/search/TSearchRun.h"

namespace quorvex {

void RunUntilSearchEnds(QueueDispatcher& dispatcher, TSearchRun& run) {
  using Clock = std::chrono::steady_clock;
  constexpr std::chrono::milliseconds kTimerInterval{200};
  Clock::time_point nextTick = Clock::now() + kTimerInterval;
  while (run.Searching()) {
    if (run.RunningEngines() <= 0) {
      run.StopSearch();  // the last engine has ended: at once, not at the next tick
      break;
    }
    const Clock::time_point now = Clock::now();
    if (now >= nextTick) {
      run.TimerTick();
      nextTick = now + kTimerInterval;
      continue;
    }
    dispatcher.WaitAndRunPending(std::chrono::ceil<std::chrono::milliseconds>(nextTick - now));
  }
}

}  // namespace quorvex
