#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// The pieces of a URL as the HTTP client connects with them. Nothing is decoded or checked.
struct UrlParts {
  std::string protocol;  // before the first "://", "http" when there is none
  std::string host;
  std::string port;  // empty when the URL names none
  std::string path;  // from the first "/" after the host on, "/" when there is none
};

UrlParts SplitUrl(std::string_view url);

// Scheme, "://" and host: the URL up to its third "/", without a trailing "/".
std::string UrlRoot(std::string_view url);
// The URL up to and including its last "/" past the scheme's slashes, always ending with "/".
std::string UrlDir(std::string_view url);
// A link made absolute against the page it was found on. Dot segments are kept as they are.
std::string JoinUrl(std::string_view base, std::string_view link);
// The name of the folder that holds the local copy of a page: never a path, never "." or "..".
std::string SafeName(std::string_view url);

}  // namespace quorvex
