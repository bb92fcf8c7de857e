#include "core/engines/TEngineDefinition.h"

#include <exception>

#include "core/common/ascii.h"
#include "core/common/comma_list.h"
#include "core/common/numbers.h"
#include "core/engines/query_text.h"
#include "core/net/THtmlParser.h"
#include "core/net/url.h"

namespace quorvex {
namespace {

bool IsMarkerLine(std::string_view line) { return line.substr(0, 3) == "---"; }

void ReplaceFirst(std::string& text, std::string_view placeholder, std::string_view value) {
  const size_t at = text.find(placeholder);
  if (at != std::string::npos) text.replace(at, placeholder.size(), value);
}

// Position of marker in text; an empty marker never occurs.
size_t FindMarker(std::string_view text, std::string_view marker) {
  return marker.empty() ? std::string_view::npos : text.find(marker);
}

// The attribute's value, empty when the tag does not carry it. The tag scanner joins an attribute
// without a value to the name of the next one (`<li data-id class=x>` gives "data-idclass=x"), so a
// name not found as it is is looked for at the end of the names, lest the order of a page's attributes
// decide whether its results are read.
std::string_view AttributeValue(const NameValueList& params, std::string_view name) {
  const int index = params.IndexOfName(name);
  if (index >= 0) return NameValueList::ValueOf(params[static_cast<size_t>(index)]);
  for (const std::string& entry : params.Lines()) {
    const std::string_view entryName = std::string_view(entry).substr(0, entry.find('='));
    if (entry.find('=') != std::string::npos && entryName.size() > name.size() && !name.empty() &&
        EqualsIgnoreCase(entryName.substr(entryName.size() - name.size()), name)) {
      return NameValueList::ValueOf(entry);
    }
  }
  return {};
}

}  // namespace

void TEngineDefinition::LoadDefinition(const std::vector<std::string>& lines) {
  SplitSections(lines);
  DeriveSettings();
  kept_.Reset(head_, uniqueFields_);
  lastLinkTarget_.clear();
  BeginPage({}, {});
}

void TEngineDefinition::SetKey(std::string_view key) {
  header_.Lines().insert(header_.Lines().begin(), "key=" + std::string(key));
  encodedKey_ = EncodeQuery(header_.Value("key"));
}

void TEngineDefinition::SplitSections(const std::vector<std::string>& lines) {
  header_.Clear();
  template_.clear();
  rules_.clear();
  size_t i = 0;
  for (; i < lines.size() && !IsMarkerLine(lines[i]); ++i) header_.Add(lines[i]);
  for (++i; i < lines.size() && !IsMarkerLine(lines[i]); ++i) {
    if (!TrimControlsView(lines[i]).empty()) template_.push_back(ParseTemplateLine(lines[i]));
  }
  for (++i; i < lines.size(); ++i) rules_.push_back(ParseRuleLine(lines[i]));
}

void TEngineDefinition::DeriveSettings() {
  uniqueFields_.clear();
  for (const std::string& item : SplitCommaList(header_.Value("Uniqe"))) {
    uniqueFields_.push_back(ReadFieldReference(item, 1));
  }
  encodedKey_ = EncodeQuery(header_.Value("key"));
  prg_ = header_.Value("Prg");
  pagingItems_ = SplitCommaList(header_.Value("Page"));
  skipItems_ = SplitCommaList(header_.Value("Skip"));
  firstStart_ = PagingOn() ? ParseIntOr(pagingItems_[0], 0) : 0;
  step_ = PagingOn() ? ParseIntOr(pagingItems_[1], 20) : 20;
  head_ = SplitCommaList(header_.Value("Head"));
}

std::string TEngineDefinition::NextLinkItem() const {
  return pagingItems_.size() >= 3 ? pagingItems_[2] : std::string();
}

std::string TEngineDefinition::NextLinkText(int start, int step) const {
  std::string text = NextLinkItem();
  // 64-bit: start numbers near the top of the int range must not overflow.
  ReplaceFirst(text, "$page$", std::to_string(static_cast<long long>(start) + step));
  return text;
}

TEngineDefinition::TPageRequest TEngineDefinition::BuildPageUrl(int start, int step,
                                                                std::string_view nextPageTarget) const {
  TPageRequest request;
  request.url = header_.Value("url");
  request.isHttp = StartsWithIgnoreCase(request.url, "http");
  if (!request.isHttp) {
    request.nextLinkText = NextLinkItem();
    return request;
  }
  if (!nextPageTarget.empty()) {
    request.url = JoinUrl(request.url, nextPageTarget);
  } else {
    // "$key" marks the five-character placeholder, whatever its fifth character is.
    const size_t key = request.url.find("$key");
    if (key != std::string::npos) request.url.replace(key, 5, encodedKey_);
    ReplaceFirst(request.url, "$page$", std::to_string(start));
  }
  request.nextLinkText = NextLinkText(start, step);
  return request;
}

std::string_view TEngineDefinition::CutResultArea(std::string_view body) const {
  size_t from = FindMarker(body, header_.Value("start"));
  if (from == std::string_view::npos) from = FindMarker(body, header_.Value("startno"));
  std::string_view area = from == std::string_view::npos ? body : body.substr(from);
  size_t to = FindMarker(area, header_.Value("end"));
  if (to == std::string_view::npos) to = FindMarker(area, header_.Value("endno"));
  return area.substr(0, to);
}

std::string TEngineDefinition::WithoutSkipped(std::string area) const {
  for (size_t pair = 0; pair + 1 < skipItems_.size(); pair += 2) {
    const std::string& from = skipItems_[pair];
    const std::string& to = skipItems_[pair + 1];
    if (from.empty()) continue;
    // Each pass removes at least the first text, so the loop ends. A stretch whose end is not found is
    // left as it is: erasing to the end of the area would lose every result after it.
    for (size_t at = area.find(from); at != std::string::npos; at = area.find(from, at)) {
      const size_t end = to.empty() ? std::string::npos : area.find(to, at + from.size());
      if (!to.empty() && end == std::string::npos) break;
      area.erase(at, end == std::string::npos ? std::string::npos : end - at);
    }
  }
  return area;
}

std::optional<std::string> TEngineDefinition::ExtractPage(THtmlParser& parser, std::string area,
                                                          std::string_view pageUrl, std::string_view nextLinkText) {
  BeginPage(pageUrl, nextLinkText);
  if (template_.empty()) return std::nullopt;
  parser.Content = WithoutSkipped(std::move(area));
  parser.OnHtmlTag = [this](THtmlParser&, std::string& name, NameValueList& params, size_t) {
    OnHtmlTag(name, params);
  };
  parser.OnHtmlText = [this](THtmlParser&, std::string& text) { OnHtmlText(text); };
  std::optional<std::string> error;
  try {
    parser.Parse();
  } catch (const std::exception& e) {
    error = e.what();
  }
  // The parser outlives this call; it must not keep pointing here.
  parser.OnHtmlTag = nullptr;
  parser.OnHtmlText = nullptr;
  return error;
}

void TEngineDefinition::BeginPage(std::string_view pageUrl, std::string_view nextLinkText) {
  pageUrl_ = pageUrl;
  nextLinkText_ = nextLinkText;
  nextPageTarget_.clear();
  lineIndex_ = 0;
  captureField_ = -1;
  strict_ = false;
  current_.clear();
}

void TEngineDefinition::OnHtmlTag(std::string_view name, const NameValueList& params) {
  if (EqualsIgnoreCase(name, "a")) lastLinkTarget_ = AttributeValue(params, "href");
  if (template_.empty()) return;
  bool completed = false;
  for (;;) {
    SkipCaptureLine();
    if (lineIndex_ >= template_.size()) {
      // At most one record per tag: with "@" on every line one tag could otherwise go round the
      // template for ever. The next tag completes the record that is waiting.
      if (completed) break;
      CompleteRecord();
      completed = true;
    }
    const TMatch match = MatchLine(template_[lineIndex_], name, params);
    if (match == TMatch::None) {
      if (!strict_) return;
      lineIndex_ = 0;
      current_.clear();
      break;
    }
    ++lineIndex_;
    if (match != TMatch::LineAndRepeat) break;
  }
  SetCaptureField();
}

void TEngineDefinition::OnHtmlText(std::string_view text) {
  if (!nextLinkText_.empty() && EqualsIgnoreCase(TrimControlsView(text), nextLinkText_)) {
    nextPageTarget_ = lastLinkTarget_;
  }
  if (captureField_ >= 0 && GrowToHold(current_, captureField_)) current_[static_cast<size_t>(captureField_)] += text;
}

void TEngineDefinition::SkipCaptureLine() {
  if (lineIndex_ < template_.size() && template_[lineIndex_].isCapture) ++lineIndex_;
}

void TEngineDefinition::CompleteRecord() {
  lineIndex_ = 0;
  // The capture belonged to the completed record. Left on (a template ending in a capture line), it
  // would prepend the text between two results to a field of the next record.
  captureField_ = -1;
  if (ApplyRules(current_) && kept_.IsUnique(current_)) kept_.Add(std::move(current_));
  current_.clear();
}

TEngineDefinition::TMatch TEngineDefinition::MatchLine(const TTemplateLine& line, std::string_view name,
                                                       const NameValueList& params) {
  bool repeats = false;
  for (const TTemplateAlternative& alternative : line.alternatives) {
    // A prefix acts when its alternative is examined, whether or not the alternative then matches.
    if (alternative.prefix == '&') strict_ = true;
    if (alternative.prefix == '|') strict_ = false;
    if (alternative.prefix == '@') repeats = true;
    if (MatchAlternative(alternative, name, params)) return repeats ? TMatch::LineAndRepeat : TMatch::Line;
  }
  return TMatch::None;
}

bool TEngineDefinition::MatchAlternative(const TTemplateAlternative& alternative, std::string_view name,
                                         const NameValueList& params) {
  if (!alternative.hasTagName || !EqualsIgnoreCase(alternative.tagName, name)) return false;
  for (const TTemplateItem& item : alternative.items) {
    const std::string_view value = AttributeValue(params, item.name);
    if (item.isWordTest) {
      if (!HasBlankWord(value, item.value)) return false;
    } else if (!item.isCapture) {
      // Captures made before a failing condition stay.
      if (!EqualsIgnoreCase(item.value, value)) return false;
    } else if (GrowToHold(current_, item.field)) {
      current_[static_cast<size_t>(item.field)] = value;
    }
  }
  return true;
}

void TEngineDefinition::SetCaptureField() {
  const bool onCapture = lineIndex_ < template_.size() && template_[lineIndex_].isCapture;
  captureField_ = onCapture ? template_[lineIndex_].captureField : -1;
}

bool TEngineDefinition::ApplyRules(TRecord& record) const {
  return ApplyRuleLines(rules_, record, TRuleContext{pageUrl_, encodedKey_, prg_});
}

}  // namespace quorvex
