#pragma once
#include <string>
#include <vector>

namespace quorvex {

// The destination folder of an extraction. Everything below it is reached one segment at a time with
// openat and O_NOFOLLOW, so that a symlink in the tree (planted by someone else, or left by an earlier
// extraction) is never followed and no write can land outside the folder.
class DestinationTree {
 public:
  enum class Existing { None, File, Folder };

  // Opens root, making it and its parents where missing; throws std::runtime_error when it cannot.
  explicit DestinationTree(const std::string& root);
  ~DestinationTree();
  DestinationTree(const DestinationTree&) = delete;
  DestinationTree& operator=(const DestinationTree&) = delete;

  // The folder reached through folders below the root, made where missing: a descriptor owned by the
  // tree and valid until the next call, or -1 when a segment is no folder (a symlink is none) or cannot
  // be made.
  int OpenFolder(const std::vector<std::string>& folders);

  // What name in folderFd is, without following a symlink (a symlink counts as a file: it is replaced).
  static Existing Lookup(int folderFd, const std::string& name);

 private:
  void ForgetCachedFolder();

  int rootFd_ = -1;
  // The folder opened last: consecutive entries of an archive usually share it.
  std::vector<std::string> cachedFolders_;
  int cachedFd_ = -1;
};

}  // namespace quorvex
