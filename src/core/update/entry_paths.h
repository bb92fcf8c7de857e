#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// Where an entry lands below the destination folder: plain folder names (never empty, "." or "..")
// and the file name, which is empty for a folder entry.
struct EntryPath {
  std::vector<std::string> Folders;
  std::string FileName;
};

// An entry name as it is compared and split: up to its first NUL byte, "\" read as "/".
std::string NormalizedEntryName(std::string_view name);

// The place of an entry below the destination folder. With recreateDirs its folder part is kept, less a
// leading rootDir (whole segments), less a drive letter and colon; empty, "." and ".." segments are
// dropped, so that no entry name can reach outside the destination. Without recreateDirs a file lands
// directly in the destination and a folder entry has nothing to make. Nothing when a file entry's own
// name is "." or "..".
std::optional<EntryPath> EntryDestination(std::string_view entryName, std::string_view rootDir, bool recreateDirs);

}  // namespace quorvex
