#include "core/common/file_io.h"

#include <system_error>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace quorvex {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) bytes.append(buffer, static_cast<size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return bytes;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Distinctive, so that the clean-up after a killed save never takes another program's file.
constexpr std::string_view kTemporaryMark = ".quorvex-save";

std::filesystem::path TemporaryNameBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  // Cut the name so that the temporary name stays a valid one beside a file whose name is near the
  // file system's 255-byte limit.
  std::string name = path.filename().string().substr(0, 200);
  name += std::string(kTemporaryMark) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  return path.parent_path() / name;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process that made name with TemporaryNameBeside, or 0 when name is not such a name.
pid_t WriterOf(std::string_view name) {
  const size_t mark = name.rfind(kTemporaryMark);
  if (mark == std::string_view::npos) return 0;
  const std::string_view rest = name.substr(mark + kTemporaryMark.size());
  const size_t dash = rest.find('-');
  if (dash == std::string_view::npos || dash > 9 || !AllDigits(rest.substr(0, dash)) || !AllDigits(rest.substr(dash + 1)))
    return 0;
  return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
}

bool Running(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  const std::filesystem::path temp = TemporaryNameBeside(path);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // errno of the first step that failed is left set for the caller's message.
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    errno = error;
  }
  return ok;
}

std::string NotWrittenMessage(const std::filesystem::path& file, int error) {
  return file.string() + " could not be written: " + std::strerror(error);
}

void RemoveStaleTemporaryFiles(const std::filesystem::path& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const pid_t writer = WriterOf(entry.path().filename().string());
    if (writer > 0 && !Running(writer) && entry.is_regular_file(error)) std::filesystem::remove(entry.path(), error);
  }
}

bool MayExist(const std::filesystem::path& path) {
  std::error_code error;
  const bool there = std::filesystem::exists(path, error);
  return there || (error && error != std::errc::no_such_file_or_directory);
}

}  // namespace quorvex
