#pragma once
#include <QObject>

class QSocketNotifier;

namespace quorvex {

// Turns every request from outside to end the program into one shutdownRequested() on the main thread:
// SIGTERM, SIGINT and SIGHUP, the desktop session's commit-data request, and the application's
// about-to-quit. The first signal asks for the shut-down; a second one ends the process at once with
// status 128 + its number, for a shut-down that does not end. Files are written atomically, so ending
// at once never leaves a half-written one.
// One instance per process, made on the main thread once the application object exists; destroying it
// gives the three signals back their default action.
class ShutdownSignals : public QObject {
  Q_OBJECT

 public:
  explicit ShutdownSignals(QObject* parent = nullptr);
  ~ShutdownSignals() override;
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

 signals:
  // Emitted once, for whichever request came first.
  void shutdownRequested();

 private:
  void TakeWakeUps();
  void Request();

  QSocketNotifier* notifier_ = nullptr;
  bool requested_ = false;
};

}  // namespace quorvex
