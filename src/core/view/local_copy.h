#pragma once
#include <filesystem>
#include <string_view>

namespace quorvex {

// Where the downloaded copy of a result's page is kept: 0.htm in its page folder below LocalFile/,
// under the mapped name when the file system refused the plain one.
std::filesystem::path LocalCopyPath(std::string_view url);

}  // namespace quorvex
