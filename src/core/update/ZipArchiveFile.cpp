#include "core/update/ZipArchiveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace quorvex {

ZipArchiveFile::ZipArchiveFile(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("Cannot open " + path + ": " + std::strerror(errno));
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);
    throw std::runtime_error("Not a regular file: " + path);
  }
  size_ = static_cast<uint64_t>(info.st_size);
}

ZipArchiveFile::~ZipArchiveFile() { ::close(fd_); }

size_t ZipArchiveFile::ReadAt(uint64_t offset, void* buffer, size_t length) const {
  if (offset >= size_) return 0;
  if (length > size_ - offset) length = static_cast<size_t>(size_ - offset);
  size_t done = 0;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (done < length) {
    const ssize_t n = ::pread(fd_, bytes + done, length - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

const unsigned char* ArchiveWindow::View(uint64_t offset, size_t length) {
  if (length > buffer_.size() || offset > file_.Size() || length > file_.Size() - offset) return nullptr;
  if (offset < start_ || offset + length > start_ + filled_) {
    start_ = offset;
    filled_ = file_.ReadAt(offset, buffer_.data(), buffer_.size());
    if (filled_ < length) return nullptr;
  }
  return buffer_.data() + (offset - start_);
}

}  // namespace quorvex
