#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

extern char** environ;

namespace quorvex::test {

namespace {

// Starts args[0] with stdin from /dev/null and what setUpOutput adds to the file actions.
pid_t SpawnWith(const std::vector<std::string>& args, const std::filesystem::path& workDir,
                const std::function<void(posix_spawn_file_actions_t&)>& setUpOutput) {
  if (args.empty()) return -1;
  std::vector<std::string> copies = args;
  std::vector<char*> argv;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  setUpOutput(actions);
  pid_t pid = -1;
  const int error = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

// Output files as a shell names them: stdout's, then stderr's.
// NOLINTBEGIN(bugprone-easily-swappable-parameters)
pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& outFile,
            const std::filesystem::path& errFile, const std::filesystem::path& workDir = {}) {
  // NOLINTEND(bugprone-easily-swappable-parameters)
  return SpawnWith(args, workDir, [&](posix_spawn_file_actions_t& actions) {
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  });
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::Start(const std::vector<std::string>& args, const std::filesystem::path& logFile) {
  Stop();
  pid_ = Spawn(args, logFile, logFile);
  return pid_ > 0;
}

bool ChildProcess::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == 0) return true;
  pid_ = -1;
  return false;
}

void ChildProcess::Stop() {
  if (!Running()) return;
  ::kill(pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Running() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (!Running()) return;
  ::kill(pid_, SIGKILL);
  WaitFor(pid_);
  pid_ = -1;
}

PipedChild::PipedChild(const std::vector<std::string>& args, const std::filesystem::path& workDir) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
  pid_ = SpawnWith(args, workDir,
                   [&](posix_spawn_file_actions_t& actions) { posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1); });
  ::close(pipeFds[1]);
  out_ = pipeFds[0];
}

PipedChild::~PipedChild() {
  if (pid_ > 0) ::kill(pid_, SIGKILL);
  WaitStatus();
  if (out_ >= 0) ::close(out_);
}

bool PipedChild::ReadUntil(const std::string& text, std::chrono::milliseconds within) {
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

void PipedChild::Signal(int signalNumber) const {
  if (pid_ > 0) ::kill(pid_, signalNumber);
}

int PipedChild::WaitStatus() {
  int status = -1;
  if (pid_ > 0) ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}

int RunProgram(const std::vector<std::string>& args, const std::filesystem::path& outFile,
               const std::filesystem::path& errFile, const std::filesystem::path& workDir) {
  const pid_t pid = Spawn(args, outFile, errFile.empty() ? outFile : errFile, workDir);
  return pid > 0 ? WaitFor(pid) : -1;
}

std::string FindProgram(const std::string& name) {
  const char* path = ::getenv("PATH");
  std::string folders = path != nullptr ? path : "";
  folders += ":/usr/sbin:/sbin";
  size_t start = 0;
  while (start <= folders.size()) {
    const size_t end = std::min(folders.find(':', start), folders.size());
    const std::filesystem::path candidate = std::filesystem::path(folders.substr(start, end - start)) / name;
    if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    start = end + 1;
  }
  return {};
}

bool InCi() {
  const char* ci = ::getenv("CI");
  return ci != nullptr && std::string(ci) == "true";
}

}  // namespace quorvex::test
