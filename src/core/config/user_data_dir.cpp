#include "core/config/user_data_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "core/config/ProgramDirs.h"

namespace quorvex {
namespace {

std::optional<std::filesystem::path> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::nullopt;
  return std::filesystem::path(value);
}

// The shipped files the data folder needs. The engine set is copied once, so that the user's engine
// choices survive an upgrade; the program's own pages (help.html, the sponsor pane's tip page) are
// refreshed at every start, so that they match the program that runs.
void CopyShippedFiles(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  const std::filesystem::path engines = std::string("Engines") + kEngineSetVersion;
  if (!std::filesystem::exists(to / engines, error))
    std::filesystem::copy(from / engines, to / engines, std::filesystem::copy_options::recursive, error);
  for (const std::filesystem::path& own :
       {std::filesystem::path("help.html"), std::filesystem::path("cache/0/0.htm")}) {
    if (!std::filesystem::exists(from / own, error)) continue;
    std::filesystem::create_directories((to / own).parent_path(), error);
    std::filesystem::copy_file(from / own, to / own, std::filesystem::copy_options::overwrite_existing, error);
  }
}

}  // namespace

std::optional<std::filesystem::path> UserDataDir() {
  if (auto data = Environment("XDG_DATA_HOME")) return *data / "quorvex";
  if (auto home = Environment("HOME")) return *home / ".local" / "share" / "quorvex";
  return std::nullopt;
}

std::optional<std::filesystem::path> UseUserDataDirIfReadOnly() {
  const std::filesystem::path programDir = ProgramDir();
  // An installed copy is told by the marker its installation leaves, also when it runs as root and
  // could write into the system's folders.
  std::error_code error;
  const bool installed = std::filesystem::exists(programDir / kInstalledMarker, error);
  if (!installed && access(programDir.c_str(), W_OK) == 0) return std::nullopt;
  const std::optional<std::filesystem::path> dataDir = UserDataDir();
  if (!dataDir) return std::nullopt;
  std::filesystem::create_directories(*dataDir, error);
  if (error) return std::nullopt;
  CopyShippedFiles(programDir, *dataDir);
  SetProgramDir(*dataDir);
  return dataDir;
}

}  // namespace quorvex
