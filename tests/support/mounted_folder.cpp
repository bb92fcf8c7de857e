#include "support/mounted_folder.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvex::test {

MountedFolder::MountedFolder(const std::string& size) {
  if (::geteuid() != 0) {
    why_ = "mounting a small disk needs root";
    return;
  }
  const std::string options = "size=" + size;
  if (::mount("tmpfs", dir_.Path().c_str(), "tmpfs", 0, options.c_str()) != 0)
    why_ = std::string("tmpfs could not be mounted: ") + std::strerror(errno);
}

MountedFolder::~MountedFolder() {
  if (Mounted()) ::umount2(dir_.Path().c_str(), MNT_DETACH);
}

void MountedFolder::Fill() const {
  const int fd = ::open((dir_ / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const std::string block(4096, 'f');
  // Whole blocks first, then single bytes for the last partial block.
  while (::write(fd, block.data(), block.size()) > 0) {
  }
  while (::write(fd, block.data(), 1) > 0) {
  }
  ::close(fd);
}

bool MountedFolder::RemountReadOnly() const {
  return ::mount(nullptr, dir_.Path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

}  // namespace quorvex::test
