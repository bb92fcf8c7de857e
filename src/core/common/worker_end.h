#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>

namespace quorvex {

// Waits on signal (under mutex) until finished() holds, calling abortAgain every 50 ms meanwhile. An
// HTTP abort that lands just before a request starts is lost, since every request begins unaborted, so
// whoever stops a worker repeats it until the worker's loop has ended.
void WaitForWorkerEnd(std::mutex& mutex, std::condition_variable& signal, const std::function<bool()>& finished,
                      const std::function<void()>& abortAgain);

}  // namespace quorvex
