#include "gui/QtDispatcher.h"

namespace quorvex {

QtDispatcher::~QtDispatcher() { Shutdown(); }

void QtDispatcher::Post(std::function<void()> runner) {
  QMetaObject::invokeMethod(&context_, std::move(runner), Qt::QueuedConnection);
}

}  // namespace quorvex
