#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// Texts that tell an answer which holds no result apart from a page the definition cannot read: a
// challenge, CAPTCHA, consent or "not in your country" page ("blocked"), or the engine's own word that it
// found nothing ("no results"). Read from the engine folder's Markers.txt, which users may extend.
struct PageMarkers {
  static constexpr const char* kFileName = "Markers.txt";
  // Each marker is looked for in the whole page: a file of thousands would cost seconds a page.
  static constexpr size_t kMaxMarkers = 200;

  std::vector<std::string> blocked;
  std::vector<std::string> noResults;
};

// Lines "blocked=TEXT" and "noresults=TEXT" (names in any letter case); blank lines, lines starting
// with "#" and any other line are ignored, as are empty texts and a byte-order mark. Lines may end in LF
// or CR LF. Markers past the first kMaxMarkers are ignored.
PageMarkers ParseMarkers(std::string_view text);

// Why a page that gave no record gave none: "blocked: TEXT" or "no results: TEXT" for the first marker
// the page holds outside its scripts, style sheets and comments (letter case ignored; blocked markers first), else "no record matched: page of N bytes".
std::string EmptyPageReason(std::string_view page, const PageMarkers& markers);

// An answer with an error status ("HTTP status 429") that is a block page says so too: "blocked: TEXT
// (HTTP status 429)"; otherwise the failure stays as it is.
std::string ErrorPageReason(std::string_view page, const PageMarkers& markers, const std::string& failure);

}  // namespace quorvex
