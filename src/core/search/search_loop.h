#pragma once

namespace quorvex {

class QueueDispatcher;
class TSearchRun;

// The main loop of a program without windows while a search runs: the workers' calls run as they come,
// the search ends as soon as its last engine has ended, and every 200 ms the timer tick runs as a
// safety net. Returns when no search runs any more.
void RunUntilSearchEnds(QueueDispatcher& dispatcher, TSearchRun& run);

}  // namespace quorvex
