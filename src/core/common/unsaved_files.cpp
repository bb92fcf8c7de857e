#include "core/common/unsaved_files.h"

#include <algorithm>

namespace quorvex {

bool UnsavedFiles::Note(bool written, const std::filesystem::path& file) {
  if (!written && std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
  return written;
}

void UnsavedFiles::Add(const std::vector<std::filesystem::path>& files) {
  for (const std::filesystem::path& file : files) Note(false, file);
}

std::string UnsavedFiles::Message() const {
  if (files_.empty()) return {};
  std::string message =
      "Quorvex could not save these files (the disk may be full or the folder read-only); each keeps what it held "
      "before:";
  for (const std::filesystem::path& file : files_) message += "\n" + file.string();
  return message;
}

}  // namespace quorvex
