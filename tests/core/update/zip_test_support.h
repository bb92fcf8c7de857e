#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::test {

// One entry of an archive written by BuildZip, for archives no real tool would write.
struct TestEntry {
  TestEntry(std::string entryName, std::string entryData, bool deflated = false,
            std::optional<uint32_t> stated = std::nullopt, uint32_t mode = 0100644)
      : name(std::move(entryName)), data(std::move(entryData)), deflate(deflated), statedSize(stated), unixMode(mode) {}
  std::string name;
  std::string data;
  bool deflate;
  std::optional<uint32_t> statedSize;  // uncompressed size written into the headers instead of the real one
  uint32_t unixMode;                   // stored in the external attributes (made on Unix)
};

std::string BuildZip(const std::vector<TestEntry>& entries);

// What a test compares of an extracted tree: per relative path, the kind, and for files the bytes,
// permission bits and last-write time.
struct FileFacts {
  bool folder = false;
  std::string content;
  unsigned mode = 0;
  long long mtime = 0;
  bool operator==(const FileFacts&) const = default;
};
using TreeFacts = std::map<std::string, FileFacts>;
TreeFacts SnapshotTree(const std::filesystem::path& root);

// Runs a program to its end (no shell); its exit code, and what it printed when output is given.
int RunTool(const std::vector<std::string>& args, std::string* output = nullptr);
// Extracts with Info-ZIP's unzip ("-o -qq"), the reference the trees are compared with.
void ExtractWithInfoZip(const std::filesystem::path& archive, const std::filesystem::path& dir);

}  // namespace quorvex::test
