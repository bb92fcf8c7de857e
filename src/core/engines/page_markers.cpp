#include "core/engines/page_markers.h"

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

}  // namespace

PageMarkers ParseMarkers(std::string_view text) {
  PageMarkers markers;
  while (!text.empty()) {
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
  if (const std::string* seen = FirstFound(page, markers.blocked)) return "blocked: " + *seen;
  if (const std::string* seen = FirstFound(page, markers.noResults)) return "no results: " + *seen;
  return "no record matched: page of " + std::to_string(page.size()) + " bytes";
}

std::string ErrorPageReason(std::string_view page, const PageMarkers& markers, const std::string& failure) {
  const std::string* seen = FirstFound(page, markers.blocked);
  return seen == nullptr ? failure : "blocked: " + *seen + " (" + failure + ")";
}

}  // namespace quorvex
