#include "core/pages/page_folder.h"

#include <cstdint>
#include <cstdio>
#include <system_error>

#include "core/net/url.h"

namespace quorvex {
namespace {

constexpr size_t kNameMax = 255;         // bytes of one name on the usual Linux file systems
constexpr size_t kReadablePrefix = 160;  // of a mapped name, leaving room for the hash

uint64_t Fnv1a64(std::string_view text) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

bool IsPortable(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
}

bool MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

}  // namespace

std::string MappedPageFolderName(std::string_view url) {
  std::string name(SafeName(url).substr(0, kReadablePrefix));
  for (char& c : name) {
    if (!IsPortable(c)) c = '_';
  }
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(url)));
  return name + "=" + hash;
}

std::filesystem::path CreateLocalPageFolder(const std::filesystem::path& localFileDir, std::string_view url) {
  const std::string plain = SafeName(url);
  if (!plain.empty() && plain.size() <= kNameMax && MakeFolder(localFileDir / plain)) return localFileDir / plain;
  const std::filesystem::path mapped = localFileDir / MappedPageFolderName(url);
  return MakeFolder(mapped) ? mapped : std::filesystem::path();
}

std::filesystem::path FindLocalPageFolder(const std::filesystem::path& localFileDir, std::string_view url) {
  const std::string plain = SafeName(url);
  std::error_code error;
  if (!plain.empty() && plain.size() <= kNameMax && std::filesystem::is_directory(localFileDir / plain, error))
    return localFileDir / plain;
  const std::filesystem::path mapped = localFileDir / MappedPageFolderName(url);
  if (std::filesystem::is_directory(mapped, error)) return mapped;
  return plain.empty() ? mapped : localFileDir / plain;
}

bool HoldsDownloadedCopy(const std::filesystem::path& folder) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    if (entry->path().filename() != "0.htm") return true;
  }
  return false;
}

}  // namespace quorvex
