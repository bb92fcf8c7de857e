#include "core/view/TFilter.h"

#include "core/common/utf8.h"
#include "core/store/TOneResult.h"

namespace quorvex {
namespace {

bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool HoldsAnywhere(const TOneResult& result, const std::string& part) {
  return Holds(result.Url, part) || Holds(result.Summary, part) || Holds(result.Title, part);
}

}  // namespace

const std::string& TFilter::ContainsUtf8() const {
  if (utf8Of_ != Contains) {
    utf8Of_ = Contains;
    utf8_ = Gb18030ToUtf8(Contains);
  }
  return utf8_;
}

bool TFilter::Passes(const TOneResult& result) const {
  if (!Contains.empty() && !HoldsAnywhere(result, Contains)) {
    const std::string& utf8 = ContainsUtf8();  // empty when no byte of Contains makes a character
    if (utf8.empty() || !HoldsAnywhere(result, utf8)) return false;
  }
  if (!Engine.empty() && !Holds(result.Engines, Engine)) return false;
  if (DownloadedOnly && result.PageState == kPageNone) return false;
  return !VisitedOnly || result.Visited != 0;
}

}  // namespace quorvex
