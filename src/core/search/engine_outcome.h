#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace quorvex {

// How one engine's part of a search ended: the records it reported that held an address and a title,
// and why its pages failed or gave nothing (empty when they were fetched and read).
struct TEngineOutcome {
  std::string name;
  int reported = 0;
  std::string failure;
  int pages = 0;  // fetched or read
  long long milliseconds = 0;
  std::string keptPage;  // the first page when it was a block page or held no record the definition reads
  std::string keyword;   // of the search, UTF-8
  std::string address;   // of the first page
  std::string charset;   // the pages' as the definition names it (GB18030, BIG5 by its Version); "" unknown
};

// What the user is told when engines came back empty-handed: "2 of 9 engines gave nothing: Google
// (blocked: ...); Bing (HTTP status 503)"; an engine that said nothing about why is "no record". Empty
// when every engine that finished reported records. engineCount is the number of engines searched.
std::string GaveNothingSummary(const std::vector<TEngineOutcome>& outcomes, size_t engineCount);

}  // namespace quorvex
