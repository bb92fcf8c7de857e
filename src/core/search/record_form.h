#pragma once
#include <string>
#include <vector>

#include "core/engines/record_fields.h"
#include "core/search/code_page.h"
#include "core/search/result_merge.h"

namespace quorvex {

// How one engine's extracted records become results: the code page its pages come in, its weight and
// the words of the search. Fixed for the engine's whole search and owned by its worker, which makes
// every record of a page ready before the page goes to the main thread.
struct TRecordForm {
  int CodePage = kCodePageGb;  // of the engine's pages, unless it answers in UTF-8
  bool Utf8 = false;           // the engine answers in UTF-8: its texts stay UTF-8
  int Weight = 100;
  std::vector<std::string> QueryWords;

  // The record's title and summary with blanks squeezed, numeric references decoded and, unless the
  // engine answers in UTF-8, converted to GB; then cleaned and scored. A record without a summary
  // field is not usable.
  TReadyRecord Ready(const TRecord& record) const;
};

}  // namespace quorvex
