#include "core/engines/result_links.h"

#include <algorithm>
#include <optional>

#include "core/common/ascii.h"
#include "core/engines/query_text.h"
#include "core/net/url.h"

namespace quorvex {
namespace {

constexpr TRedirectShape kRedirectShapes[] = {{{"/url?q=", "", ""}, "&", false, true},
                                             {{"?uddg=", "&uddg=", "&amp;uddg="}, "&", false, false},
                                             {{"?u=a1", "&u=a1", "&amp;u=a1"}, "&", true, false},
                                             {{"/RU=", "", ""}, "/RK=", false, false}};

constexpr const char* kOpaqueRedirectShapes[] = {"link?url="};

constexpr const char* kAdvertShapes[] = {"aclick", "/aclk?", "/cbclk", "y.js?ad"};

const TRedirectShape* ShapeOf(std::string_view href) {
  const auto shape = std::find_if(std::begin(kRedirectShapes), std::end(kRedirectShapes), [&](const TRedirectShape& s) {
    return WrappedAt(href, s) != std::string_view::npos;
  });
  return shape == std::end(kRedirectShapes) ? nullptr : shape;
}

bool IsOpaque(std::string_view href) {
  return std::any_of(std::begin(kOpaqueRedirectShapes), std::end(kOpaqueRedirectShapes),
                     [&](const char* shape) { return href.find(shape) != std::string_view::npos; });
}

}  // namespace

std::span<const TRedirectShape> RedirectShapes() { return kRedirectShapes; }

size_t WrappedAt(std::string_view href, const TRedirectShape& shape) {
  if (shape.ownSite) {
    // The path right after the host: "/url?q=", "//host/url?q=", "https://host/url?q=".
    const size_t scheme = href.find("//");
    const size_t path = scheme == std::string_view::npos || href.find('/') < scheme ? 0 : href.find('/', scheme + 2);
    const std::string_view marker = shape.markers[0];
    return path != std::string_view::npos && href.substr(path).starts_with(marker) ? path + marker.size()
                                                                                    : std::string_view::npos;
  }
  size_t best = std::string_view::npos;
  for (const std::string_view marker : shape.markers) {
    const size_t at = marker.empty() ? std::string_view::npos : href.find(marker);
    if (at != std::string_view::npos && (best == std::string_view::npos || at + marker.size() < best))
      best = at + marker.size();
  }
  return best;
}

std::span<const char* const> OpaqueRedirectShapes() { return kOpaqueRedirectShapes; }

std::span<const char* const> AdvertShapes() { return kAdvertShapes; }

std::string EngineDomain(const std::string& url) {
  if (url.empty()) return {};
  const std::string host = HostOf(url);
  const size_t last = host.rfind('.');
  const size_t before = last == std::string::npos || last == 0 ? std::string::npos : host.rfind('.', last - 1);
  return before == std::string::npos ? host : host.substr(before + 1);
}

bool IsAdvert(std::string_view href) {
  return std::any_of(std::begin(kAdvertShapes), std::end(kAdvertShapes),
                     [&](const char* shape) { return href.find(shape) != std::string_view::npos; });
}

bool IsOutbound(const TPageItem& link, const std::string& domain) {
  if (IsAdvert(link.href)) return false;
  if (ShapeOf(link.href) != nullptr || !link.dataLinks.empty()) return true;
  if (IsOpaque(link.href)) return true;
  if (!link.href.starts_with("http") && !link.href.starts_with("//")) return false;
  return domain.empty() || HostOf(link.href).find(domain) == std::string::npos;
}

std::string TargetAddress(const TPageItem& link) {
  if (!link.dataLinks.empty()) return link.dataLinks.front().second;
  const TRedirectShape* shape = ShapeOf(link.href);
  if (shape == nullptr) return link.href;
  std::string_view wrapped = std::string_view(link.href).substr(WrappedAt(link.href, *shape));
  wrapped = wrapped.substr(0, wrapped.find(shape->end));
  const std::string decoded = DecodeQuery(wrapped);
  const std::string target = shape->base64 ? DecodeBase64Url(decoded).value_or(std::string()) : decoded;
  return target.starts_with("http") ? target : link.href;
}

bool HidesTarget(const TPageItem& link) { return IsOpaque(link.href) && link.dataLinks.empty(); }

std::string SiteOf(const TPageItem& link) { return HidesTarget(link) ? link.href : HostOf(TargetAddress(link)); }

std::string ShownHost(std::string_view text) {
  text = TrimControlsView(text);
  for (const std::string_view scheme : {"http://", "https://"}) {
    if (text.starts_with(scheme)) text.remove_prefix(scheme.size());
  }
  text = text.substr(0, text.find_first_of("/ "));
  const size_t dot = text.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || text.size() - dot < 3) return {};
  const bool hostLike = std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
  });
  const bool endsInName = std::all_of(text.begin() + static_cast<std::ptrdiff_t>(dot) + 1, text.end(),
                                      [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
  return hostLike && endsInName ? AsciiLowered(text) : std::string();
}

std::string HostOf(std::string_view address) {
  return AsciiLowered(SplitUrl(address.starts_with("//") ? "http:" + std::string(address) : std::string(address)).host);
}

}  // namespace quorvex
