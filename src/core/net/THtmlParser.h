#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/name_value_list.h"

namespace quorvex {

// A linear scanner over an HTML document: every tag (name and attribute list) and every text segment
// goes to the handlers in document order, and with SaveChange the document is rebuilt from what the
// handlers left. It is not a validating parser: engine definitions and page rewriting depend on its
// exact cutting rules byte for byte.
class THtmlParser {
 public:
  // HtmlTag and Param may be changed by the handler; the rebuild uses the changed values.
  // ScanX is the 1-based position of the tag's "<" in the scanned text.
  using TTagNotify = std::function<void(THtmlParser& sender, std::string& HtmlTag, NameValueList& Param, size_t ScanX)>;
  using TTextNotify = std::function<void(THtmlParser& sender, std::string& Token)>;

  std::string Content;      // the document; with SaveChange, Parse replaces it by the rebuilt document
  bool SaveChange = false;  // rebuild Content during Parse
  TTagNotify OnHtmlTag;
  TTextNotify OnHtmlText;

  // Scans Content once. An exception thrown by a handler ends the scan and leaves the parser usable
  // for the next document; with SaveChange, Content then still holds the document as it was.
  void Parse();

  // The text segment that followed the last title tag seen; kept across Parse calls.
  const std::string& Title() const { return title_; }
  bool InScript() const { return inScript_; }

 private:
  // out is the rebuilt document, or null when SaveChange was off at the start of Parse.
  void Scan(std::string_view source, std::string* out);
  void HandleText(std::string_view segment, std::string* out);
  void HandleTag(std::string_view tagText, size_t scanX, std::string* out);
  void ReadTagTokens(std::string_view tagText);
  std::string& NewParamEntry();
  void AppendRebuiltTag(std::string& out) const;
  static void NextToken(std::string_view& rest, bool first, std::string& token);

  NameValueList param_;
  std::vector<std::string> spareEntries_;  // entry strings of earlier tags, reused so that scanning does not allocate
  std::string tagName_;
  std::string text_;
  std::string title_;
  bool inScript_ = false;
  bool titlePending_ = false;
};

}  // namespace quorvex
