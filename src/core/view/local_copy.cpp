#include "core/view/local_copy.h"

#include "core/app/ProgramDirs.h"
#include "core/net/url.h"

namespace quorvex {

std::filesystem::path LocalCopyPath(std::string_view url) {
  return std::filesystem::path(LocalFileDir()) / SafeName(url) / "0.htm";
}

}  // namespace quorvex
