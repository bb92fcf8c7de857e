#pragma once
#include <filesystem>
#include <string_view>

namespace quorvex {

// Where the downloaded copy of a result's page is kept: LocalFile/<safe name of the URL>/0.htm.
std::filesystem::path LocalCopyPath(std::string_view url);

}  // namespace quorvex
