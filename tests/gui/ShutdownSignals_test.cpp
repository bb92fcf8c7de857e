#include "gui/ShutdownSignals.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <string>

#include "support/child_process.h"

using namespace std::chrono_literals;
using quorvex::test::PipedChild;

TEST(ShutdownSignals, EachEndingSignalRunsTheShutDownAndTheProgramEndsCleanly) {
  for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
    PipedChild child({QUORVEX_SHUTDOWN_CHILD, "quit"});
    ASSERT_TRUE(child.ReadUntil("ready\n", 10s));
    child.Signal(signalNumber);
    ASSERT_TRUE(child.ReadUntil("", 1s)) << "signal " << signalNumber << " did not end it";
    EXPECT_EQ(child.Said(), "ready\nshut-down\n");
    EXPECT_EQ(child.WaitStatus(), 0) << "signal " << signalNumber;
  }
}

TEST(ShutdownSignals, ASecondSignalEndsAShutDownThatDoesNotEnd) {
  PipedChild child({QUORVEX_SHUTDOWN_CHILD, "hang"});
  ASSERT_TRUE(child.ReadUntil("ready\n", 10s));
  child.Signal(SIGTERM);
  ASSERT_TRUE(child.ReadUntil("shut-down\n", 1s));
  child.Signal(SIGTERM);
  ASSERT_TRUE(child.ReadUntil("", 1s));
  // Its own exit with the signal's status, not the signal's default action.
  const int status = child.WaitStatus();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM);
}
