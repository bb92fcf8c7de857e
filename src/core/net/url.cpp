#include "core/net/url.h"

#include "core/common/ascii.h"
#include "core/common/folder_path.h"

namespace quorvex {

UrlParts SplitUrl(std::string_view url) {
  UrlParts parts;
  std::string_view rest = url;
  const size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) {
    parts.protocol = "http";
  } else {
    parts.protocol = url.substr(0, scheme);
    rest = url.substr(scheme + 3);
  }
  const size_t slash = rest.find('/');
  parts.path = slash == std::string_view::npos ? "/" : rest.substr(slash);
  const std::string_view hostPort = rest.substr(0, slash);
  const size_t colon = hostPort.find(':');
  parts.host = hostPort.substr(0, colon);
  if (colon != std::string_view::npos) parts.port = hostPort.substr(colon + 1);
  return parts;
}

std::string UrlRoot(std::string_view url) {
  size_t end = 0;
  for (int slashes = 0; slashes < 3; ++slashes) {
    end = url.find('/', slashes == 0 ? 0 : end + 1);
    if (end == std::string_view::npos) break;
  }
  if (end != std::string_view::npos) return std::string(url.substr(0, end));
  if (!url.empty() && url.back() == '/') url.remove_suffix(1);
  return std::string(url);
}

std::string UrlDir(std::string_view url) {
  // Slashes within the first eight bytes belong to "http://" or "https://", never to the path.
  constexpr size_t kSchemeSlashes = 8;
  const size_t slash = url.rfind('/');
  const std::string dir(slash != std::string_view::npos && slash >= kSchemeSlashes ? url.substr(0, slash + 1) : url);
  return dir.empty() ? "/" : WithTrailingSlash(dir);
}

std::string JoinUrl(std::string_view base, std::string_view link) {
  if (StartsWithIgnoreCase(link, "http")) return std::string(link);
  std::string joined = !link.empty() && link.front() == '/' ? UrlRoot(base) : UrlDir(base);
  joined.append(link);
  return joined;
}

std::string SafeName(std::string_view url) {
  // The seven separators of URLs and paths, and NUL, at which system calls would cut the name short.
  constexpr std::string_view kReplaced("$%/:;=?\0", 8);
  std::string name(url);
  for (char& c : name) {
    if (kReplaced.find(c) != std::string_view::npos) c = '_';
  }
  if (name == "." || name == "..") name.assign(name.size(), '_');
  return name;
}

}  // namespace quorvex
