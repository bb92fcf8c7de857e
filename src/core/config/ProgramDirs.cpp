#include "core/config/ProgramDirs.h"

#include <mutex>
#include <system_error>

#include "core/common/file_io.h"
#include "core/common/folder_path.h"

namespace quorvex {
namespace {

std::string ExecutableDir() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return WithTrailingSlash(std::filesystem::current_path(error).string());
  return WithTrailingSlash(exe.parent_path().string());
}

std::mutex& DirMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& ProgramDirStorage() {
  static std::string dir = ExecutableDir();
  return dir;
}

}  // namespace

std::string ProgramDir() {
  std::lock_guard lock(DirMutex());
  return ProgramDirStorage();
}

void SetProgramDir(const std::filesystem::path& dir) {
  std::lock_guard lock(DirMutex());
  ProgramDirStorage() = WithTrailingSlash(dir.string());
}

std::string EngineDir() { return ProgramDir() + "Engines" + kEngineSetVersion + "/"; }
std::string SearchResultDir() { return ProgramDir() + "SearchResult/"; }
std::string AdvertiserDir() { return ProgramDir() + "Advertiser/"; }
std::string LocalFileDir() { return ProgramDir() + "LocalFile/"; }
std::string CacheDir() { return ProgramDir() + "cache/"; }

void CreateDataFolders() {
  for (const std::string& dir : {SearchResultDir(), AdvertiserDir(), LocalFileDir()}) {
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
  }
}

void RemoveStaleSaves() {
  for (const std::string& dir : {std::string("."), ProgramDir(), SearchResultDir(), EngineDir()})
    RemoveStaleTemporaryFiles(dir);
}

}  // namespace quorvex
