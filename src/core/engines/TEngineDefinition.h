#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/name_value_list.h"
#include "core/engines/extraction_rules.h"
#include "core/engines/kept_records.h"
#include "core/engines/record_fields.h"
#include "core/engines/template_line.h"

namespace quorvex {

class THtmlParser;

// An engine definition and the extraction it drives: how to build the request for a page, which
// stretch of the page holds the results, and how tags and texts become kept records. It holds the
// matching state of one search, so each search uses its own instance. No threads, no network: the
// search worker fetches the pages and hands them over one by one.
class TEngineDefinition {
 public:
  // The request for one page of the search.
  struct TPageRequest {
    std::string url;           // the address, or the name of a local file when isHttp is false
    std::string nextLinkText;  // the text of the link that leads on to the following page
    bool isHttp = false;
  };

  // Reads the lines of a definition file and starts a new search: the kept records are the head record
  // alone.
  void LoadDefinition(const std::vector<std::string>& lines);
  // Sets the keyword of the search, as sent to the engine: a "key=" line in front of the header, so it
  // wins over any "key" the file itself holds.
  void SetKey(std::string_view key);

  std::string HeaderValue(std::string_view name) const { return header_.Value(name); }
  const std::string& EncodedKey() const { return encodedKey_; }
  const TRecord& HeadRecord() const { return head_; }

  // Paging: on when "Page" has at least two items; then the first start number and the step come from
  // them (defaults 0 and 20).
  bool PagingOn() const { return pagingItems_.size() >= 2; }
  int FirstStart() const { return firstStart_; }
  int Step() const { return step_; }

  // Next-link text for the page requested with start: the third paging item with its first "$page$"
  // replaced by start + step.
  std::string NextLinkText(int start, int step) const;

  // Request for the page with this start number. A next-page link found on the previous page is
  // followed (joined to "url"); otherwise "$key$" and "$page$" of "url" are filled in.
  TPageRequest BuildPageUrl(int start, int step, std::string_view nextPageTarget) const;

  // The stretch of body between the "start" (or "startno") marker, included, and the "end" (or
  // "endno") marker, excluded. A view into body.
  std::string_view CutResultArea(std::string_view body) const;

  // Runs parser over one page's result area, less the stretches "Skip" names, and keeps the records it
  // completes. pageUrl is the base of
  // "U" rules. Returns why the page's extraction stopped early (a rule naming no field, or any other
  // error); the records kept before that stay. The parser is the search's own: its script state
  // carries over from page to page.
  std::optional<std::string> ExtractPage(THtmlParser& parser, std::string area, std::string_view pageUrl,
                                         std::string_view nextLinkText);

  // The pieces ExtractPage is made of, for callers that feed the events themselves: BeginPage resets
  // the matching state; the two handlers take the scanner's events in document order and may throw
  // EExtractionError.
  void BeginPage(std::string_view pageUrl, std::string_view nextLinkText);
  void OnHtmlTag(std::string_view name, const NameValueList& params);
  void OnHtmlText(std::string_view text);

  // Runs the rules over a completed record in place; returns the keep verdict. Throws EExtractionError.
  bool ApplyRules(TRecord& record) const;
  // Records kept so far in this search, the head record first.
  const std::vector<TRecord>& KeptRecords() const { return kept_.Records(); }
  // "href" of the link on the current page whose text is the next-link text; empty when none.
  const std::string& NextPageTarget() const { return nextPageTarget_; }

 private:
  enum class TMatch { None, Line, LineAndRepeat };

  void SplitSections(const std::vector<std::string>& lines);
  void DeriveSettings();
  std::string NextLinkItem() const;  // the third paging item as written
  // area without every stretch from a "Skip" pair's first text up to its second (kept), or to the end.
  std::string WithoutSkipped(std::string area) const;
  void SkipCaptureLine();
  void CompleteRecord();
  TMatch MatchLine(const TTemplateLine& line, std::string_view name, const NameValueList& params);
  bool MatchAlternative(const TTemplateAlternative& alternative, std::string_view name, const NameValueList& params);
  void SetCaptureField();

  // The definition.
  NameValueList header_;
  std::vector<TTemplateLine> template_;
  std::vector<TRuleLine> rules_;
  std::string encodedKey_;
  std::string prg_;
  std::vector<std::string> pagingItems_;
  std::vector<std::string> skipItems_;
  int firstStart_ = 0;
  int step_ = 20;
  TRecord head_;
  std::vector<int> uniqueFields_;

  // The search.
  TKeptRecords kept_;
  std::string lastLinkTarget_;

  // The page.
  std::string pageUrl_;
  std::string nextLinkText_;
  std::string nextPageTarget_;
  size_t lineIndex_ = 0;
  int captureField_ = -1;
  bool strict_ = false;
  TRecord current_;
};

}  // namespace quorvex
