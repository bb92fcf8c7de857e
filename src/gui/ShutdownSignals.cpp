#include "gui/ShutdownSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSocketNotifier>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace quorvex {
namespace {

constexpr std::array<int, 3> kShutdownSignals = {SIGTERM, SIGINT, SIGHUP};

// Shared with the signal handler, which may run on any thread: only lock-free atomics and plain ints
// set before the handler is installed.
std::atomic<int> signalsReceived{0};
static_assert(std::atomic<int>::is_always_lock_free);
std::array<int, 2> wakePipe = {-1, -1};  // the handler writes a byte, the main thread reads it

void OnShutdownSignal(int signalNumber) {
  if (signalsReceived.fetch_add(1) > 0) ::_exit(128 + signalNumber);
  const int savedErrno = errno;
  const char wakeUp = 1;
  // A full pipe already holds a wake-up, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &wakeUp, 1);
  errno = savedErrno;
}

void SetHandler(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signalNumber : kShutdownSignals) ::sigaction(signalNumber, &action, nullptr);
}

}  // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
  if (::pipe2(wakePipe.data(), O_CLOEXEC | O_NONBLOCK) == 0) {
    notifier_ = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::TakeWakeUps);
    SetHandler(OnShutdownSignal);
  }
  // The session manager expects its request to return before the program ends, so the shut-down
  // runs just after it. About-to-quit comes when the event loop has already ended: it runs at once.
  if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(application, &QGuiApplication::commitDataRequest, this,
            [this] { QMetaObject::invokeMethod(this, &ShutdownSignals::Request, Qt::QueuedConnection); });
  }
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &ShutdownSignals::Request);
}

ShutdownSignals::~ShutdownSignals() {
  if (notifier_ == nullptr) return;
  SetHandler(SIG_DFL);
  ::close(wakePipe[0]);
  ::close(wakePipe[1]);
  wakePipe = {-1, -1};
  signalsReceived = 0;
}

void ShutdownSignals::TakeWakeUps() {
  char buffer[16];
  while (::read(wakePipe[0], buffer, sizeof buffer) > 0) {
  }
  Request();
}

void ShutdownSignals::Request() {
  if (requested_) return;
  requested_ = true;
  emit shutdownRequested();
}

}  // namespace quorvex
