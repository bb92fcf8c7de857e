#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace quorvex::test {

namespace {

pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& outFile,
            const std::filesystem::path& errFile, const std::filesystem::path& workDir = {}) {
  if (args.empty()) return -1;
  std::vector<std::string> copies = args;
  std::vector<char*> argv;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  pid_t pid = -1;
  const int error = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
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
  while (Running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!Running()) return;
  ::kill(pid_, SIGKILL);
  WaitFor(pid_);
  pid_ = -1;
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
