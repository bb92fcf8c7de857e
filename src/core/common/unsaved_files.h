#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace quorvex {

// The files a save could not write, gathered so that the user is told once, in words, what was not
// kept (a full disk or a read-only folder fails every file of a save alike).
class UnsavedFiles {
 public:
  // Notes file unless written; returns written.
  bool Note(bool written, const std::filesystem::path& file);
  void Add(const std::vector<std::filesystem::path>& files);
  bool Empty() const { return files_.empty(); }
  const std::vector<std::filesystem::path>& Files() const { return files_; }
  // One message naming every file once, in the order they failed; empty when none did.
  std::string Message() const;

 private:
  std::vector<std::filesystem::path> files_;
};

}  // namespace quorvex
