#pragma once
#include <string>

namespace quorvex {

class TOneResult;

// The result filter: which results of a keyword the view shows. Empty texts and false flags filter
// nothing. Substring tests are byte-wise and case-sensitive; the Contains text, typed and so GB, is
// looked for as it is and in UTF-8, since results of UTF-8 engines hold their characters that way.
class TFilter {
 public:
  std::string Contains;         // occurs in the URL, the summary or the title
  std::string Engine;           // occurs in the engines text
  bool DownloadedOnly = false;  // page downloaded, verified or failed
  bool VisitedOnly = false;

  bool Passes(const TOneResult& result) const;

 private:
  const std::string& ContainsUtf8() const;
  mutable std::string utf8Of_;  // the Contains text utf8_ was made from
  mutable std::string utf8_;
};

}  // namespace quorvex
