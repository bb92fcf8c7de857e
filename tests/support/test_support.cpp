#include "support/test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "core/common/file_io.h"

namespace quorvex::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& bytes) const {
  const auto file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

std::filesystem::path FixturePath(const std::string& relative) {
  return std::filesystem::path(QUORVEX_FIXTURES_DIR) / relative;
}

std::string ReadFixture(const std::string& relative) {
  const auto bytes = ReadWholeFile(FixturePath(relative));
  EXPECT_TRUE(bytes.has_value()) << "missing fixture " << relative;
  return bytes.value_or(std::string());
}

namespace {

std::string DrainToString(int fd) {
  std::string out;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      out.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      return out;
    }
  }
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& workDir) {
  TempDir capture;
  const auto outPath = capture / "out";
  const auto errPath = capture / "err";
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(127);
    const int outFd = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int errFd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
    std::vector<char*> argv;
    std::string program = QUORVEX_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  CliResult result;
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  const int outFd = ::open(outPath.c_str(), O_RDONLY);
  const int errFd = ::open(errPath.c_str(), O_RDONLY);
  result.out = DrainToString(outFd);
  result.err = DrainToString(errFd);
  ::close(outFd);
  ::close(errFd);
  return result;
}

}  // namespace quorvex::test
