#include "core/engines/saved_page.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quorvex {

std::optional<TSavedPage> ReadSavedPage(const std::filesystem::path& file, std::string& problem) {
  // Non-blocking, so that opening a pipe with no writer does not wait; checked on the open descriptor,
  // so that the file cannot be swapped between the check and the read.
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    problem = std::strerror(errno);
    return std::nullopt;
  }
  struct stat info {};
  std::optional<TSavedPage> page;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    problem = "not a regular file";
  } else {
    page.emplace();
    std::string buffer(size_t{1} << 16, '\0');
    // One byte past the bound tells that the file holds more.
    while (page->bytes.size() <= kMaxSavedPageBytes) {
      const ssize_t n =
          ::read(fd, buffer.data(), std::min(buffer.size(), kMaxSavedPageBytes + 1 - page->bytes.size()));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        problem = std::strerror(errno);
        page.reset();
        break;
      }
      if (n == 0) break;
      page->bytes.append(buffer.data(), static_cast<size_t>(n));
    }
    if (page && page->bytes.size() > kMaxSavedPageBytes) {
      page->cut = true;
      page->bytes.resize(kMaxSavedPageBytes);
    }
  }
  ::close(fd);
  return page;
}

std::string CutPageNote() {
  return "the page is larger than " + std::to_string(kMaxSavedPageBytes >> 20) + " MiB: only its first " +
         std::to_string(kMaxSavedPageBytes >> 20) + " MiB are read";
}

}  // namespace quorvex
