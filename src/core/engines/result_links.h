#pragma once
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "core/engines/page_items.h"

namespace quorvex {

// Redirect shapes an engine wraps result addresses in: the markers before the wrapped address (each
// starting at a query item's or path segment's boundary, so that "sku=a1" is no "u=a1"), what ends it,
// whether it is base64url text, and whether only a link into the engine's own site (relative, or to its
// host) is one.
struct TRedirectShape {
  std::array<const char*, 3> markers;  // unused places are ""
  const char* end;
  bool base64;
  bool ownSite;
};
std::span<const TRedirectShape> RedirectShapes();

// Where the wrapped address of link begins after one of shape's markers (an ownSite shape's marker at
// the start of a relative link or right after the link's host); npos when it has none.
size_t WrappedAt(std::string_view href, const TRedirectShape& shape);

// Redirects through the engine's own site whose target cannot be read off the link: kept as they are
// (the engine's own links are otherwise no results). The text that follows the site's address.
std::span<const char* const> OpaqueRedirectShapes();

// Link shapes of adverts, which are no results.
std::span<const char* const> AdvertShapes();

// The engine's own domain (the last two labels of the address's host), to tell its links from outbound
// ones; empty for an empty address.
std::string EngineDomain(const std::string& url);

bool IsAdvert(std::string_view href);

// A link that leads off the engine's site: wrapped in a redirect shape (one that hides its target
// included), carrying its target in a data- attribute, or an absolute link to another domain (any
// domain when the engine's is not known).
bool IsOutbound(const TPageItem& link, const std::string& domain);

// The address a link leads to: the wrapped one of a redirect shape (decoded), the one of a data-
// attribute, else its href.
std::string TargetAddress(const TPageItem& link);

// A redirect through the engine's own site whose target cannot be read off the link.
bool HidesTarget(const TPageItem& link);

// The site a link leads to: the host of its target; for a redirect that hides its target, the redirect
// itself (as each may lead anywhere).
std::string SiteOf(const TPageItem& link);

// The host a text shows as an address ("www.example.com/a", "https://example.com › a"), lower case;
// empty when it shows none.
std::string ShownHost(std::string_view text);

// The lower-case host of an address, "//host/..." included.
std::string HostOf(std::string_view address);

}  // namespace quorvex
