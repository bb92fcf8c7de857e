#include "core/view/local_copy.h"

#include "core/config/ProgramDirs.h"
#include "core/pages/page_folder.h"

namespace quorvex {

std::filesystem::path LocalCopyPath(std::string_view url) {
  return FindLocalPageFolder(LocalFileDir(), url) / "0.htm";
}

}  // namespace quorvex
