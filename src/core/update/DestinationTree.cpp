#include "core/update/DestinationTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace quorvex {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Opens name in parentFd as a folder, making it first when it is missing.
int OpenOrMakeFolder(int parentFd, const std::string& name) {
  int fd = ::openat(parentFd, name.c_str(), kFolderFlags);
  if (fd >= 0 || errno != ENOENT) return fd;
  if (::mkdirat(parentFd, name.c_str(), 0777) != 0 && errno != EEXIST) return -1;
  return ::openat(parentFd, name.c_str(), kFolderFlags);
}

}  // namespace

DestinationTree::DestinationTree(const std::string& root) {
  const std::string folder = root.empty() ? std::string(".") : root;
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  rootFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (rootFd_ < 0) throw std::runtime_error("Cannot open folder " + folder + ": " + std::strerror(errno));
}

DestinationTree::~DestinationTree() {
  ForgetCachedFolder();
  ::close(rootFd_);
}

void DestinationTree::ForgetCachedFolder() {
  if (cachedFd_ >= 0 && cachedFd_ != rootFd_) ::close(cachedFd_);
  cachedFd_ = -1;
  cachedFolders_.clear();
}

int DestinationTree::OpenFolder(const std::vector<std::string>& folders) {
  if (folders.empty()) return rootFd_;
  if (cachedFd_ >= 0 && folders == cachedFolders_) return cachedFd_;
  ForgetCachedFolder();
  int fd = rootFd_;
  for (const std::string& name : folders) {
    const int next = OpenOrMakeFolder(fd, name);
    if (fd != rootFd_) ::close(fd);
    if (next < 0) return -1;
    fd = next;
  }
  cachedFd_ = fd;
  cachedFolders_ = folders;
  return fd;
}

DestinationTree::Existing DestinationTree::Lookup(int folderFd, const std::string& name) {
  struct stat info {};
  if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return Existing::None;
  return S_ISDIR(info.st_mode) ? Existing::Folder : Existing::File;
}

}  // namespace quorvex
