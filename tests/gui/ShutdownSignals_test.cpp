#include "gui/ShutdownSignals.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>

extern char** environ;

using namespace std::chrono_literals;

namespace {

// The shut-down test program with its output on a pipe: the test waits on what the program says and
// on the pipe's end, which comes when the program ends.
class Child {
 public:
  explicit Child(std::string mode) {
    std::string path = QUORVEX_SHUTDOWN_CHILD;
    char* argv[] = {path.data(), mode.data(), nullptr};
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    out_ = pipeFds[0];
  }
  ~Child() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
    WaitStatus();
    ::close(out_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Reads until the output holds text, or with an empty text until the program ends; false when the
  // time is up first.
  bool ReadUntil(const std::string& text, std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (text.empty() || said_.find(text) == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd ready = {out_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return false;
      char buffer[256];
      const ssize_t length = ::read(out_, buffer, sizeof buffer);
      if (length <= 0) return text.empty();
      said_.append(buffer, static_cast<size_t>(length));
    }
    return true;
  }
  void Signal(int signalNumber) const { ::kill(pid_, signalNumber); }
  int WaitStatus() {
    int status = -1;
    if (pid_ > 0) ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }
  const std::string& Said() const { return said_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string said_;
};

}  // namespace

TEST(ShutdownSignals, EachEndingSignalRunsTheShutDownAndTheProgramEndsCleanly) {
  for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
    Child child("quit");
    ASSERT_TRUE(child.ReadUntil("ready\n", 10s));
    child.Signal(signalNumber);
    ASSERT_TRUE(child.ReadUntil("", 1s)) << "signal " << signalNumber << " did not end it";
    EXPECT_EQ(child.Said(), "ready\nshut-down\n");
    EXPECT_EQ(child.WaitStatus(), 0) << "signal " << signalNumber;
  }
}

TEST(ShutdownSignals, ASecondSignalEndsAShutDownThatDoesNotEnd) {
  Child child("hang");
  ASSERT_TRUE(child.ReadUntil("ready\n", 10s));
  child.Signal(SIGTERM);
  ASSERT_TRUE(child.ReadUntil("shut-down\n", 1s));
  child.Signal(SIGTERM);
  ASSERT_TRUE(child.ReadUntil("", 1s));
  // Its own exit with the signal's status, not the signal's default action.
  const int status = child.WaitStatus();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM);
}
