#include "core/store/result_file_name.h"

#include <openssl/evp.h>

#include <cmath>

namespace quorvex {
namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
constexpr size_t kMaxFileName = 255;  // NAME_MAX of the usual Linux file systems
constexpr size_t kReadablePart = 64;

bool FitsInFileName(std::string_view keyword, size_t suffixLength) {
  return keyword.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos &&
         keyword.size() + suffixLength <= kMaxFileName;
}

std::string HashHex(std::string_view keyword) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(keyword.data(), keyword.size(), digest, &length, EVP_sha256(), nullptr) != 1) length = 0;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length && i < 16; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

}  // namespace

long long MillisecondOfDay(double dateTime) {
  const double total = std::round(std::fabs(dateTime) * kMillisecondsPerDay);
  if (!std::isfinite(total)) return 0;
  return static_cast<long long>(std::fmod(total, kMillisecondsPerDay));
}

std::string ResultFileName(std::string_view keyword, double date) {
  const std::string millis = std::to_string(MillisecondOfDay(date));
  if (FitsInFileName(keyword, millis.size())) return std::string(keyword) + millis;
  std::string name(keyword.substr(0, kReadablePart));
  for (char& c : name) {
    if (c == '/' || c == '\0') c = '_';
  }
  return name + millis + "-" + HashHex(keyword) + ".res";
}

}  // namespace quorvex
