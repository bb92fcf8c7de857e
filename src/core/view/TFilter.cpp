#include "core/view/TFilter.h"

#include "core/store/TOneResult.h"

namespace quorvex {
namespace {

bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

bool TFilter::Passes(const TOneResult& result) const {
  if (!Contains.empty() && !Holds(result.Url, Contains) && !Holds(result.Summary, Contains) &&
      !Holds(result.Title, Contains)) {
    return false;
  }
  if (!Engine.empty() && !Holds(result.Engines, Engine)) return false;
  if (DownloadedOnly && result.PageState == kPageNone) return false;
  return !VisitedOnly || result.Visited != 0;
}

}  // namespace quorvex
