#include "core/view/result_layout.h"

#include <algorithm>
#include <climits>

#include "core/store/TOneResult.h"
#include "core/view/keyword_hits.h"
#include "core/view/score_text.h"

namespace quorvex {
namespace {

// Where the next character goes.
struct TCaret {
  int X = 0;
  int Y = 0;
};

// How a field's rows wrap: the width they wrap at, their height and how many there may be.
struct TRowShape {
  int WrapWidth = 0;
  int RowHeight = 0;
  int MaxRows = INT_MAX;
};

// Places the characters of one field row by row, wrapping by character like a typewriter.
class TRowWriter {
 public:
  TRowWriter(const TTextMeasure& measure, std::vector<TTextRun>& runs, TCaret& caret)
      : measure_(measure), runs_(runs), curX_(caret.X), y_(caret.Y) {}

  void Start(TListField field, std::string_view text, TTextCoding coding, const TRowShape& shape) {
    field_ = field;
    text_ = text;
    coding_ = coding;
    wrapWidth_ = shape.WrapWidth;
    rowHeight_ = shape.RowHeight;
    rowsLeft_ = shape.MaxRows - 1;
  }

  void Write(TListRole role, bool hit, size_t begin, size_t end) {
    if (rowsLeft_ < 0 || begin >= end) return;
    size_t segStart = begin;
    int segX = curX_;
    for (size_t pos = begin; pos < end;) {
      const size_t length = std::min(CharLength(text_, pos, coding_), end - pos);
      const int width = measure_.Width(role, text_.substr(pos, length), coding_);
      curX_ += width;
      if (curX_ > wrapWidth_) {
        Emit(role, hit, segStart, pos, segX);
        if (rowsLeft_-- == 0) {
          curX_ -= width;  // the text is cut here: what follows goes after the last drawn character
          return;
        }
        segStart = pos;
        curX_ = width;
        segX = 0;
        y_ += rowHeight_;
      }
      pos += length;
    }
    Emit(role, hit, segStart, end, segX);
  }

  // Writes the text with its keyword hits in the keyword font.
  void WriteHighlighted(TListRole role, const std::vector<std::string>& words) {
    size_t next = 0;
    for (THitSpan hit : FindHits(text_, words)) {
      hit.Begin = std::max(CharStartAtOrBefore(text_, hit.Begin, coding_), next);
      const size_t lastStart = CharStartAtOrBefore(text_, hit.End - 1, coding_);
      hit.End = std::max(lastStart + CharLength(text_, lastStart, coding_), hit.Begin);
      Write(role, false, next, hit.Begin);
      Write(TListRole::Hilight, true, hit.Begin, hit.End);
      next = std::max(next, hit.End);
    }
    Write(role, false, next, text_.size());
  }

 private:
  void Emit(TListRole role, bool hit, size_t begin, size_t end, int x) {
    if (begin < end) runs_.push_back({field_, role, hit, kListLeft + x, y_, begin, end});
  }

  const TTextMeasure& measure_;
  std::vector<TTextRun>& runs_;
  int& curX_;
  int& y_;
  TListField field_ = TListField::Title;
  std::string_view text_;
  TTextCoding coding_ = TTextCoding::Gb;
  int wrapWidth_ = 0;
  int rowHeight_ = 0;
  int rowsLeft_ = 0;
};

// A row that may hold hits is as high as the taller of its font and the keyword font.
int HighlightedRowHeight(const TTextMeasure& measure, TListRole role, bool hasWords) {
  const int own = measure.Height(role);
  return hasWords ? std::max(own, measure.Height(TListRole::Hilight)) : own;
}

constexpr int kIconStep = 4 + 15;  // a gap, the mark and its margin

std::vector<int> IconCells(const TOneResult& result) {
  std::vector<int> cells;
  if ((result.Language & kLanguageGB) != 0) cells.push_back(3);
  if ((result.Language & kLanguageBig5) != 0) cells.push_back(4);
  if ((result.Language & kLanguageEnglish) != 0) cells.push_back(5);
  if (result.PageState == kPageDownloaded) cells.push_back(1);
  if (result.PageState == kPageVerified) cells.push_back(0);
  if (result.PageState == kPageFailed) cells.push_back(2);
  return cells;
}

void PlaceIcons(const std::vector<int>& cells, int y, int& curX, std::vector<TIconPlace>& icons) {
  for (const int cell : cells) {
    curX += 4;
    icons.push_back({cell, kListLeft + curX, y});
    curX += 15;
  }
}

}  // namespace

TResultLayout LayoutResult(const TOneResult& result, int index, const TLayoutParams& params) {
  const TTextMeasure& measure = *params.Measure;
  static const std::vector<std::string> kNoWords;
  const std::vector<std::string>& words = params.Words != nullptr ? *params.Words : kNoWords;
  const bool hasWords = !words.empty();
  TResultLayout layout;
  layout.Result = &result;
  layout.Number = std::to_string(index + 1) + ".";
  layout.Score = ScoreText(result.Score);
  layout.TitleCoding = CodingOf(result.Title);
  layout.SummaryCoding = CodingOf(result.Summary);
  layout.UrlCoding = CodingOf(result.Url);
  layout.EnginesCoding = CodingOf(result.Engines);

  TCaret caret{0, 2};
  int& y = caret.Y;
  int& curX = caret.X;
  TRowWriter writer(measure, layout.Runs, caret);
  layout.ScoreX = params.DrawWidth - measure.Width(TListRole::Score, layout.Score, TTextCoding::Gb) - 10;
  layout.ScoreY = y;

  writer.Start(TListField::Number, layout.Number, TTextCoding::Gb,
               {params.DrawWidth - 100 - kListLeft, measure.Height(TListRole::Number)});
  writer.Write(TListRole::Number, false, 0, layout.Number.size());
  const TListRole titleRole = result.Visited != 0 ? TListRole::Visited : TListRole::Title;
  const int titleHeight = HighlightedRowHeight(measure, titleRole, hasWords);
  writer.Start(TListField::Title, result.Title, layout.TitleCoding, {params.DrawWidth - kListLeft, titleHeight});
  writer.WriteHighlighted(titleRole, words);
  y += titleHeight + 2;
  layout.TitleBottom = y;

  curX = 0;
  int summaryHeight = 0;
  if (params.SummaryLines > 0) {
    summaryHeight = HighlightedRowHeight(measure, TListRole::Summary, hasWords);
    writer.Start(TListField::Summary, result.Summary, layout.SummaryCoding,
                 {params.DrawWidth - kListLeft, summaryHeight, params.SummaryLines});
    writer.WriteHighlighted(TListRole::Summary, words);
  }
  const std::vector<int> cells = IconCells(result);
  // The marks follow the summary's last drawn row; when they do not fit beside it they get a row of
  // their own, so that they are always drawn inside the result.
  if (summaryHeight > 0 && !cells.empty() &&
      kListLeft + curX + kIconStep * static_cast<int>(cells.size()) > params.DrawWidth) {
    y += summaryHeight;
    curX = 0;
  }
  PlaceIcons(cells, y, curX, layout.Icons);
  if (summaryHeight < 12 && !layout.Icons.empty()) summaryHeight = 12;
  if (summaryHeight > 0) y += summaryHeight + 2;

  curX = 0;
  const int urlHeight = measure.Height(TListRole::Url);
  writer.Start(TListField::Url, result.Url, layout.UrlCoding, {params.DrawWidth - kListLeft, urlHeight});
  writer.Write(TListRole::Url, false, 0, result.Url.size());
  y += urlHeight + 2;
  layout.EnginesX = params.DrawWidth - measure.Width(TListRole::Engines, result.Engines, layout.EnginesCoding) - 2;
  layout.EnginesY = y - measure.Height(TListRole::Engines) - 2;
  layout.GridY = y;
  layout.Height = y + 2;
  return layout;
}

TListFrame LayoutList(const std::vector<TOneResult*>& view, const TListCursor& cursor, int height,
                      const TLayoutParams& params) {
  const int topIndex = cursor.TopIndex;
  TListFrame frame;
  frame.TopIndex = topIndex;
  const int count = static_cast<int>(view.size());
  frame.ItemTops.assign(view.size() + 1, 0);
  frame.SelectedIndex = cursor.SelectedIndex;
  frame.LastVisible = count - 1;
  int y = 0;
  for (int i = std::max(topIndex, 0); i < count; ++i) {
    frame.ItemTops[static_cast<size_t>(i)] = y + 1;
    TResultLayout layout = LayoutResult(*view[static_cast<size_t>(i)], i, params);
    const bool titleCut = y + layout.TitleBottom > height;
    y += layout.Height;
    frame.ItemTops[static_cast<size_t>(i) + 1] = y + 1;
    frame.Items.push_back(std::move(layout));
    if (y > height) {
      // A result whose title does not show is not counted as visible, nor left selected.
      frame.LastVisible = titleCut && i > topIndex ? i - 1 : i;
      if (titleCut && i > topIndex && frame.SelectedIndex >= i) frame.SelectedIndex = i - 1;
      break;
    }
  }
  return frame;
}

int ResultAt(const TListFrame& frame, int y) {
  const int count = static_cast<int>(frame.ItemTops.size()) - 1;
  for (int i = std::min(frame.LastVisible, count - 1); i >= frame.TopIndex && i >= 0; --i) {
    if (frame.ItemTops[static_cast<size_t>(i)] - 1 <= y) return i;
  }
  return -1;
}

}  // namespace quorvex
