#pragma once
#include <string>

namespace quorvex {

class TOneResult;

// The result filter: which results of a keyword the view shows. Empty texts and false flags filter
// nothing. Substring tests are byte-wise and case-sensitive.
class TFilter {
 public:
  std::string Contains;         // occurs in the URL, the summary or the title
  std::string Engine;           // occurs in the engines text
  bool DownloadedOnly = false;  // page downloaded, verified or failed
  bool VisitedOnly = false;

  bool Passes(const TOneResult& result) const;
};

}  // namespace quorvex
