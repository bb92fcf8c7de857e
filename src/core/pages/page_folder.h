#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace quorvex {

// Where the saved copy of a result page lives: localFileDir + SafeName(url). A name the file system
// refuses (too long, or holding bytes it cannot store) is replaced, for that page only, by a mapped
// name: its readable start in letters, digits, "." "_" "-", then "=" and a hash of the URL. SafeName
// never yields "=", so a mapped name can never be the plain name of another page.
std::string MappedPageFolderName(std::string_view url);

// Creates the page's folder with its parents and returns it; empty when even the mapped name fails.
std::filesystem::path CreateLocalPageFolder(const std::filesystem::path& localFileDir, std::string_view url);

// The page's folder for opening the saved copy: the plain one when it exists, else the mapped one when
// that exists, else the plain one.
std::filesystem::path FindLocalPageFolder(const std::filesystem::path& localFileDir, std::string_view url);

// Whether folder holds a downloaded copy: a download saves what the page refers to beside 0.htm, a
// verification never does.
bool HoldsDownloadedCopy(const std::filesystem::path& folder);

}  // namespace quorvex
