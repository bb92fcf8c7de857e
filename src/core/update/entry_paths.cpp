#include "core/update/entry_paths.h"

#include <algorithm>

namespace quorvex {
namespace {

bool IsDotSegment(std::string_view segment) { return segment == "." || segment == ".."; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string_view WithoutRootDir(std::string_view folder, std::string_view rootDir) {
  while (!rootDir.empty() && rootDir.back() == '/') rootDir.remove_suffix(1);
  if (rootDir.empty() || !folder.starts_with(rootDir)) return folder;
  if (folder.size() == rootDir.size()) return {};
  if (folder[rootDir.size()] != '/') return folder;  // "lib" is not a leading folder of "library/"
  return folder.substr(rootDir.size() + 1);
}

std::string_view WithoutDrive(std::string_view folder) {
  if (folder.size() >= 2 && IsAsciiLetter(folder[0]) && folder[1] == ':') folder.remove_prefix(2);
  return folder;
}

std::vector<std::string> PlainSegments(std::string_view folder) {
  std::vector<std::string> segments;
  while (!folder.empty()) {
    const size_t slash = folder.find('/');
    const std::string_view segment = folder.substr(0, slash);
    if (!segment.empty() && !IsDotSegment(segment)) segments.emplace_back(segment);
    if (slash == std::string_view::npos) break;
    folder.remove_prefix(slash + 1);
  }
  return segments;
}

}  // namespace

std::string NormalizedEntryName(std::string_view name) {
  std::string normalized(name.substr(0, name.find('\0')));
  std::replace(normalized.begin(), normalized.end(), '\\', '/');
  return normalized;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the name, then the settings that shape it
std::optional<EntryPath> EntryDestination(std::string_view entryName, std::string_view rootDir, bool recreateDirs) {
  const std::string name = NormalizedEntryName(entryName);
  const size_t slash = name.rfind('/');
  const std::string_view folder =
      slash == std::string::npos ? std::string_view() : std::string_view(name).substr(0, slash);
  EntryPath path;
  path.FileName = slash == std::string::npos ? name : name.substr(slash + 1);
  if (IsDotSegment(path.FileName)) return std::nullopt;
  if (recreateDirs) path.Folders = PlainSegments(WithoutDrive(WithoutRootDir(folder, NormalizedEntryName(rootDir))));
  return path;
}

}  // namespace quorvex
