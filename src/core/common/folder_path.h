#pragma once
#include <string>

namespace quorvex {

// folder with one "/" at its end, ready for a name to be appended; an empty folder (the current one)
// stays empty.
inline std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace quorvex
