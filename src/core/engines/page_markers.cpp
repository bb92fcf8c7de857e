#include "core/engines/page_markers.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "core/common/ascii.h"

namespace quorvex {
namespace {

// The first marker the page holds, or nullptr.
const std::string* FirstFound(std::string_view page, const std::vector<std::string>& markers) {
  for (const std::string& marker : markers) {
    if (FindIgnoreCase(page, marker) != std::string_view::npos) return &marker;
  }
  return nullptr;
}

// The page without its scripts, style sheets and comments: result pages carry texts of other pages of
// the engine there (a "no results" note, a country notice in a settings table), which the user never sees.
std::string VisibleText(std::string_view page) {
  static constexpr std::pair<std::string_view, std::string_view> kHidden[] = {
      {"<script", "</script"}, {"<style", "</style"}, {"<!--", "-->"}};
  std::string visible;
  visible.reserve(page.size());
  // Where each kind starts next, looked for again only once passed: a page of a hundred thousand
  // comments and no script would otherwise be searched to its end for a script at every comment.
  size_t next[std::size(kHidden)];
  for (size_t k = 0; k < std::size(kHidden); ++k) next[k] = FindIgnoreCase(page, kHidden[k].first);
  size_t at = 0;
  while (at < page.size()) {
    size_t open = std::string_view::npos;
    std::string_view close;
    for (size_t k = 0; k < std::size(kHidden); ++k) {
      if (next[k] != std::string_view::npos && next[k] < at) {
        const size_t found = FindIgnoreCase(page.substr(at), kHidden[k].first);
        next[k] = found == std::string_view::npos ? found : at + found;
      }
      if (next[k] < open) {
        open = next[k];
        close = kHidden[k].second;
      }
    }
    if (open == std::string_view::npos) break;
    visible.append(page.substr(at, open - at));
    const size_t closed = FindIgnoreCase(page.substr(open), close);
    if (closed == std::string_view::npos) return visible;
    at = open + closed + close.size();
  }
  visible.append(page.substr(std::min(at, page.size())));
  return visible;
}

}  // namespace

PageMarkers ParseMarkers(std::string_view text) {
  PageMarkers markers;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark from an editor
  while (!text.empty() && markers.blocked.size() + markers.noResults.size() < PageMarkers::kMaxMarkers) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const size_t equals = line.find('=');
    if (line.empty() || line.front() == '#' || equals == std::string_view::npos) continue;
    const std::string_view name = TrimControlsView(line.substr(0, equals));
    const std::string value = TrimControls(line.substr(equals + 1));
    if (value.empty()) continue;
    if (EqualsIgnoreCase(name, "blocked")) markers.blocked.push_back(value);
    if (EqualsIgnoreCase(name, "noresults")) markers.noResults.push_back(value);
  }
  return markers;
}

std::string EmptyPageReason(std::string_view page, const PageMarkers& markers) {
  const std::string visible = VisibleText(page);
  if (const std::string* seen = FirstFound(visible, markers.blocked)) return "blocked: " + *seen;
  if (const std::string* seen = FirstFound(visible, markers.noResults)) return "no results: " + *seen;
  return "no record matched: page of " + std::to_string(page.size()) + " bytes";
}

std::string ErrorPageReason(std::string_view page, const PageMarkers& markers, const std::string& failure) {
  const std::string* seen = FirstFound(VisibleText(page), markers.blocked);
  return seen == nullptr ? failure : "blocked: " + *seen + " (" + failure + ")";
}

}  // namespace quorvex
