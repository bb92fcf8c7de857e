#pragma once
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace quorvex::test {

// A small tmpfs mounted on a fresh temporary folder, for disks that fill up or turn read-only under
// the program; unmounted at the end. Mounting needs root: Why() says what stopped it otherwise.
class MountedFolder {
 public:
  explicit MountedFolder(const std::string& size = "256k");
  ~MountedFolder();
  MountedFolder(const MountedFolder&) = delete;
  MountedFolder& operator=(const MountedFolder&) = delete;

  bool Mounted() const { return why_.empty(); }
  const std::string& Why() const { return why_; }
  const std::filesystem::path& Path() const { return dir_.Path(); }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

  // Writes a filler file until the disk has no room left.
  void Fill() const;
  bool RemountReadOnly() const;

 private:
  TempDir dir_;
  std::string why_;
};

}  // namespace quorvex::test

// In a test body: skips the test, with the reason, when the folder could not be mounted.
#define QUORVEX_REQUIRE_MOUNT(folder) \
  if (!(folder).Mounted()) GTEST_SKIP() << (folder).Why()
