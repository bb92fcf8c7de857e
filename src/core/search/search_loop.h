#pragma once

namespace quorvex {

class QueueDispatcher;
class TSearchRun;

// The main loop of a program without windows while a search runs: the workers' calls run as they come,
// and every 200 ms the timer tick ends the search once no engine is running. Returns when no search
// runs any more.
void RunUntilSearchEnds(QueueDispatcher& dispatcher, TSearchRun& run);

}  // namespace quorvex
