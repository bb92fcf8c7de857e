// Archive bytes, extracted into a temporary folder with both incomplete-archive modes: extraction only
// ever ends with an exception of its own kinds, and nothing is ever written outside the destination.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/update/TVCLUnZip.h"

namespace {

namespace fs = std::filesystem;

void Check(bool condition) {
  if (!condition) std::abort();
}

// A folder for the archive and the extraction, removed when the fuzzer ends.
class WorkFolderOwner {
 public:
  WorkFolderOwner() {
    std::string pattern = (fs::temp_directory_path() / "quorvex-fuzz-unzip-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr);
    path_ = pattern;
  }
  ~WorkFolderOwner() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  WorkFolderOwner(const WorkFolderOwner&) = delete;
  WorkFolderOwner& operator=(const WorkFolderOwner&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

const fs::path& WorkFolder() {
  static const WorkFolderOwner owner;
  return owner.Path();
}

fs::path ArchivePath() { return WorkFolder() / "input.zip"; }
fs::path OutFolder() { return WorkFolder() / "out"; }
fs::path DestFolder() { return OutFolder() / "dest"; }

// The work folder holds the archive and "out", and "out" holds the destination and nothing else.
bool NothingOutside() {
  for (const auto& item : fs::directory_iterator(WorkFolder())) {
    if (item.path() != ArchivePath() && item.path() != OutFolder()) return false;
  }
  for (const auto& item : fs::directory_iterator(OutFolder())) {
    if (item.path() != DestFolder()) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path archive = ArchivePath();
  const fs::path dest = DestFolder();
  std::ofstream(archive, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  for (const auto mode : {quorvex::TIncompleteZipMode::izAssumeMulti, quorvex::TIncompleteZipMode::izAssumeBad}) {
    fs::create_directories(dest);
    quorvex::TVCLUnZip unzip;
    unzip.ZipName = archive.string();
    unzip.SetDestDir(dest.string());
    unzip.DoAll = true;
    unzip.RecreateDirs = true;
    unzip.OverwriteMode = quorvex::TUZOverwriteMode::Always;
    unzip.IncompleteZipMode = mode;
    try {
      unzip.UnZip();
    } catch (const std::runtime_error&) {
      // the format's exceptions; anything else escapes and stops the fuzzer
    }
    Check(NothingOutside());
    fs::remove_all(OutFolder());
  }
  return 0;
}
