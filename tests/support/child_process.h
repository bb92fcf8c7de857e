#pragma once
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvex::test {

// A program run in the background by a test (a server, usually). The destructor stops it.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts args[0] (a path) with the arguments; stdin is /dev/null, stdout and stderr are appended
  // to logFile. No shell is involved.
  bool Start(const std::vector<std::string>& args, const std::filesystem::path& logFile);
  // False once the program has ended.
  bool Running();
  // SIGTERM, a few seconds' grace, then SIGKILL; waits for the end.
  void Stop();

 private:
  pid_t pid_ = -1;
};

// A program whose stdout comes through a pipe, so that a test waits on what it says (and on the pipe's
// end, which comes when the program ends). Killed with SIGKILL when still running at the end.
class PipedChild {
 public:
  // Starts args[0] (a path) with the arguments, in workDir unless it is empty; stderr stays the test's.
  explicit PipedChild(const std::vector<std::string>& args, const std::filesystem::path& workDir = {});
  ~PipedChild();
  PipedChild(const PipedChild&) = delete;
  PipedChild& operator=(const PipedChild&) = delete;

  // Reads until the output holds text, or with an empty text until the program ends; false when the
  // time is up first.
  bool ReadUntil(const std::string& text, std::chrono::milliseconds within);
  void Signal(int signalNumber) const;
  // Waits for the end; the raw waitpid status.
  int WaitStatus();
  const std::string& Said() const { return said_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string said_;
};

// Runs args[0] to its end as above (stderr to errFile when given, in workDir when given); its exit code,
// or -1 when it could not run or was killed.
int RunProgram(const std::vector<std::string>& args, const std::filesystem::path& outFile,
               const std::filesystem::path& errFile = {}, const std::filesystem::path& workDir = {});

// Full path of an installed program (PATH, then /usr/sbin and /sbin), or empty.
std::string FindProgram(const std::string& name);

// True when the environment variable CI is "true": integration tests then run instead of skipping.
bool InCi();

}  // namespace quorvex::test

// In a test body: skips the test when the program is not installed, but fails it under CI.
#define QUORVEX_REQUIRE_PROGRAM(name)                                                      \
  do {                                                                                     \
    if (quorvex::test::FindProgram(name).empty()) {                                        \
      if (quorvex::test::InCi()) FAIL() << (name) << " is not installed, and CI needs it"; \
      GTEST_SKIP() << (name) << " is not installed";                                       \
    }                                                                                      \
  } while (false)
