#pragma once
#include <QObject>

#include "core/common/dispatcher.h"

namespace quorvex {

// The window's side of the main-thread dispatcher: a worker's call is queued into the Qt event loop of
// the thread that created the dispatcher. Calls still queued when the dispatcher is destroyed are
// discarded with its context object, so they never reach freed state.
class QtDispatcher : public MainThreadDispatcher {
 public:
  QtDispatcher() = default;
  ~QtDispatcher() override;

 protected:
  void Post(std::function<void()> runner) override;

 private:
  QObject context_;
};

}  // namespace quorvex
