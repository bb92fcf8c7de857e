#include "core/update/PendingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace quorvex {
namespace {

constexpr int kCreateAttempts = 16;

std::string TemporaryName() {
  static const std::string prefix = ".unzip-" + std::to_string(::getpid()) + "-";
  static std::atomic<unsigned> counter{0};
  return prefix + std::to_string(counter++) + ".part";
}

}  // namespace

PendingFile::PendingFile(int folderFd, std::string name) : folderFd_(folderFd), name_(std::move(name)) {
  for (int attempt = 0; attempt < kCreateAttempts && fd_ < 0; ++attempt) {
    tempName_ = TemporaryName();
    // 0666: the process's umask decides the default permissions, as for any file it makes.
    fd_ = ::openat(folderFd_, tempName_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
}

PendingFile::~PendingFile() { Discard(); }

void PendingFile::Discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlinkat(folderFd_, tempName_.c_str(), 0);
  fd_ = -1;
}

bool PendingFile::Write(const unsigned char* data, size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(fd_, data, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

bool PendingFile::SetAttributes(std::time_t modTime, std::optional<unsigned> unixMode, bool readOnly) {
  if (unixMode && ::fchmod(fd_, static_cast<mode_t>(*unixMode)) != 0) return false;
  if (!unixMode && readOnly) {
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || ::fchmod(fd_, info.st_mode & 0555) != 0) return false;
  }
  const timespec times[2] = {{modTime, 0}, {modTime, 0}};
  return ::futimens(fd_, times) == 0;
}

bool PendingFile::Commit(std::time_t modTime, std::optional<unsigned> unixMode, bool readOnly) {
  if (fd_ < 0) return false;
  const bool done = SetAttributes(modTime, unixMode, readOnly) && ::close(fd_) == 0;
  fd_ = -1;
  if (done && ::renameat(folderFd_, tempName_.c_str(), folderFd_, name_.c_str()) == 0) return true;
  ::unlinkat(folderFd_, tempName_.c_str(), 0);
  return false;
}

}  // namespace quorvex
