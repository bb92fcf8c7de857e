#pragma once
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace quorvex {

// The most of a saved page the learner reads: about 30 times the largest result pages seen.
inline constexpr size_t kMaxSavedPageBytes = size_t{32} << 20;

struct TSavedPage {
  std::string bytes;  // at most kMaxSavedPageBytes
  bool cut = false;   // the file holds more
};

// A saved result page to learn from: only a regular file (a device or a pipe could be endless), read up
// to kMaxSavedPageBytes. Nothing when it cannot be read; problem then says why.
std::optional<TSavedPage> ReadSavedPage(const std::filesystem::path& file, std::string& problem);

// What the user is told of a page that was cut.
std::string CutPageNote();

}  // namespace quorvex
