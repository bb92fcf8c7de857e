#pragma once

namespace quorvex {

// Called first on a worker thread (engine queries, page verification, the engine update): the thread
// yields the processor to the main thread, whose turns of the event loop paint the window. Twenty
// engines parsing pages on two cores would otherwise hold a repaint back by tens of milliseconds.
void LowerWorkerPriority();

}  // namespace quorvex
