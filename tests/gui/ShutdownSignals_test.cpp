#include "gui/ShutdownSignals.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

using namespace std::chrono_literals;

namespace {

// The shut-down test program, with its output read through a pipe: the test waits on what the
// program says and on the pipe's end, which comes when the program ends.
class Child {
 public:
  explicit Child(const std::vector<std::string>& args) {
    std::vector<std::string> copies = {QUORVEX_SHUTDOWN_CHILD};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    out_ = pipeFds[0];
  }
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Reads the output until it holds text, the program ends or the time is up.
  bool Said(const std::string& text, std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (said_.find(text) == std::string::npos) {
      if (!ReadMore(deadline)) return false;
    }
    return true;
  }
  // The wait status once the program has ended within the time, or nothing when it did not.
  std::optional<int> WaitStatus(std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (ReadMore(deadline)) {
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }
  void Signal(int signalNumber) const { ::kill(pid_, signalNumber); }
  const std::string& Output() const { return said_; }

 private:
  // False at the end of the output or at the deadline.
  bool ReadMore(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd ready = {out_, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return false;
    char buffer[256];
    const ssize_t length = ::read(out_, buffer, sizeof buffer);
    if (length <= 0) return false;
    said_.append(buffer, static_cast<size_t>(length));
    return true;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  std::string said_;
};

}  // namespace

TEST(ShutdownSignals, EachEndingSignalRunsTheShutDownAndTheProgramEndsCleanly) {
  for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
    Child child({});
    ASSERT_TRUE(child.Said("ready\n", 10s)) << child.Output();
    child.Signal(signalNumber);
    const std::optional<int> status = child.WaitStatus(1s);
    ASSERT_TRUE(status.has_value()) << "signal " << signalNumber << " did not end it";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "signal " << signalNumber;
    EXPECT_EQ(child.Output(), "ready\nshut-down\n");
  }
}

TEST(ShutdownSignals, ASecondSignalEndsAShutDownThatDoesNotEnd) {
  Child child({"hang"});
  ASSERT_TRUE(child.Said("ready\n", 10s));
  child.Signal(SIGTERM);
  ASSERT_TRUE(child.Said("shut-down\n", 1s));
  child.Signal(SIGTERM);
  const std::optional<int> status = child.WaitStatus(1s);
  ASSERT_TRUE(status.has_value());
  // An exit of its own with the signal's status, not the signal's default action.
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 128 + SIGTERM);
}
