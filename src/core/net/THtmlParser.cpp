#include "core/net/THtmlParser.h"

#include <array>

#include "core/common/ascii.h"
#include "core/net/entities.h"

namespace quorvex {
namespace {

constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCommentClose = "-->";
constexpr std::string_view kScriptEnd = "</script>";

// The bytes that change the state of the token walk; runs of all other bytes are copied at once.
constexpr std::array<bool, 256> kTokenSwitchBytes = [] {
  std::array<bool, 256> table{};
  for (const unsigned char c : {'"', '\'', '=', ' ', '\r', '\n'}) table[c] = true;
  return table;
}();

bool IsTokenSwitch(char c) { return kTokenSwitchBytes[static_cast<unsigned char>(c)]; }

}  // namespace

void THtmlParser::Parse() {
  if (!SaveChange) {
    // A copy, so that a handler may read or even replace Content while the scan runs.
    const std::string source = Content;
    Scan(source, nullptr);
    return;
  }
  std::string source;
  source.swap(Content);
  Content.reserve(source.size() + source.size() / 8);
  try {
    Scan(source, &Content);
  } catch (...) {
    // The half-built output is of no use to anyone; give the caller its document back.
    Content = std::move(source);
    throw;
  }
}

void THtmlParser::Scan(std::string_view source, std::string* out) {
  size_t last = 0;  // where the text after the previous tag or comment begins
  size_t pos = 0;
  bool pieceSeen = false;  // a tag or comment has ended: the text after it is delivered even when empty
  while (true) {
    const size_t open = source.find('<', pos);
    if (open == std::string_view::npos) break;
    const std::string_view rest = source.substr(open);
    if (inScript_) {
      if (!StartsWithIgnoreCase(rest, kScriptEnd)) {
        pos = open + 1;
        continue;
      }
      inScript_ = false;
      if (out) out->append(source.substr(last, open - last));
    } else if (pieceSeen || open > 0) {
      HandleText(source.substr(last, open - last), out);
    }
    if (StartsWithIgnoreCase(rest, kCommentOpen)) {
      const size_t close = source.find(kCommentClose, open + kCommentOpen.size());
      if (close == std::string_view::npos) return;  // an unterminated comment drops the rest
      last = close + kCommentClose.size();
    } else {
      const size_t close = source.find('>', open + 1);
      if (close == std::string_view::npos) return;  // so does a "<" without a ">"
      HandleTag(source.substr(open + 1, close - open - 1), open + 1, out);
      last = close + 1;
    }
    pos = last;
    pieceSeen = true;
  }
  if (pieceSeen || last < source.size()) HandleText(source.substr(last), out);
}

void THtmlParser::HandleText(std::string_view segment, std::string* out) {
  if (!titlePending_ && !OnHtmlText && !out) return;
  text_.assign(segment);
  if (titlePending_) {
    title_ = text_;
    titlePending_ = false;
  }
  if (OnHtmlText) OnHtmlText(*this, text_);
  if (out) *out += text_;
}

void THtmlParser::HandleTag(std::string_view tagText, size_t scanX, std::string* out) {
  ReadTagTokens(tagText);
  tagName_ = SqueezeBlanks(tagName_);
  if (EqualsIgnoreCase(tagName_, "title")) {
    titlePending_ = true;
  } else if (EqualsIgnoreCase(tagName_, "script")) {
    inScript_ = true;
  }
  if (!tagName_.empty() && tagName_[0] != '!' && OnHtmlTag) OnHtmlTag(*this, tagName_, param_, scanX);
  if (out) AppendRebuiltTag(*out);
}

void THtmlParser::ReadTagTokens(std::string_view tagText) {
  for (std::string& entry : param_.Lines()) spareEntries_.push_back(std::move(entry));
  param_.Clear();
  tagName_.clear();
  if (!tagText.empty() && tagText[0] == '!') {
    tagName_.assign(tagText);  // a declaration: the whole text is its name, no attributes
    return;
  }
  std::string_view rest = TrimControlsView(tagText);
  if (rest.empty()) return;
  NextToken(rest, true, tagName_);
  for (rest = TrimControlsView(rest); !rest.empty(); rest = TrimControlsView(rest)) {
    NextToken(rest, false, NewParamEntry());
  }
}

std::string& THtmlParser::NewParamEntry() {
  if (spareEntries_.empty()) {
    param_.Add(std::string());
  } else {
    param_.Add(std::move(spareEntries_.back()));
    spareEntries_.pop_back();
  }
  return param_.Lines().back();
}

void THtmlParser::AppendRebuiltTag(std::string& out) const {
  out += '<';
  out += tagName_;
  for (const std::string& entry : param_.Lines()) {
    const size_t eq = entry.find('=');
    if (eq == std::string::npos) continue;  // an attribute without a value is not written
    out += ' ';
    // Every value goes in double quotes whatever quoting it had, even one that holds a double quote:
    // saved pages and the tag dumps of the command-line tool rely on this exact form.
    out.append(entry, 0, eq + 1);
    out += '"';
    out.append(entry, eq + 1);
    out += '"';
  }
  out += '>';
}

// Cuts one token off the front of rest. Quotes group and are removed; blanks outside quotes are dropped;
// a token other than the tag name ends only at a blank, CR or LF that follows its "=" and something after
// it, so "width = 5" is one token and an attribute without a value runs into the next one.
void THtmlParser::NextToken(std::string_view& rest, bool first, std::string& token) {
  token.clear();
  bool outsideDouble = true;
  bool outsideSingle = true;
  bool mayEnd = true;
  bool valueSeen = first;
  size_t i = 0;
  while (i < rest.size()) {
    const size_t runStart = i;
    while (i < rest.size() && !IsTokenSwitch(rest[i])) ++i;
    if (i > runStart) {
      token.append(rest.substr(runStart, i - runStart));
      mayEnd = true;
      if (i == rest.size()) break;
    }
    const char c = rest[i];
    switch (c) {
      case '"':
      case '\'': {
        // A quote inside the other kind of quotes is an ordinary character.
        bool& outsideOwn = c == '"' ? outsideDouble : outsideSingle;
        const bool outsideOther = c == '"' ? outsideSingle : outsideDouble;
        if (outsideOther) {
          outsideOwn = !outsideOwn;
        } else {
          token += c;
        }
        mayEnd = true;
        break;
      }
      case '=':
        mayEnd = false;
        valueSeen = true;
        token += c;
        break;
      default: {  // blank, CR or LF
        const bool outsideQuotes = outsideDouble && outsideSingle;
        if (mayEnd && outsideQuotes && valueSeen) {
          rest.remove_prefix(i);
          return;
        }
        if (c != ' ' || !outsideQuotes) token += c;
      }
    }
    ++i;
  }
  rest = {};
}

}  // namespace quorvex
