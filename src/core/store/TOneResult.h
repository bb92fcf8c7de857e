#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// Page state of a result, set by page verification and download.
enum : std::uint8_t { kPageNone = 0, kPageDownloaded = 1, kPageVerified = 2, kPageFailed = 3 };
// Language bits of a result.
enum : std::uint8_t { kLanguageGB = 1, kLanguageBig5 = 2, kLanguageEnglish = 4 };

// One merged search result. Date-times are days since 1899-12-30 with the time of day as fraction.
class TOneResult {
 public:
  std::string Title;
  std::string Url;  // trimmed, without one trailing "/"
  std::string Summary;
  std::uint8_t Language = 0;
  std::string Engines;  // names of the engines that found it, joined with ";" in finding order
  std::int32_t Score = 0;
  std::string LocalFile;  // shown by the page properties; never saved
  std::uint8_t Visited = 0;
  std::uint8_t PageState = kPageNone;
  double Found = 0;  // first found, or last refound by an update search
  double Reserved1 = 0;
  double Reserved2 = 0;

  // The line of a result file: eleven quoted fields.
  std::string ToLine() const;
  // A line of any other shape than eleven fields gives an empty result.
  static TOneResult FromLine(std::string_view line);
};

}  // namespace quorvex
