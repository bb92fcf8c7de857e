#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/view/list_input.h"
#include "core/view/text_chars.h"

namespace quorvex {

class TOneResult;

// The fonts a result row is drawn in.
enum class TListRole { Number, Title, Visited, Summary, Url, Hilight, Engines, Score };
// The texts a result row shows.
enum class TListField { Number, Title, Summary, Url, Engines, Score };

// Answers text sizes in the list's fonts; the widget measures with its fonts, tests with fixed widths.
class TTextMeasure {
 public:
  virtual ~TTextMeasure() = default;
  virtual int Width(TListRole role, std::string_view bytes, TTextCoding coding) const = 0;
  virtual int Height(TListRole role) const = 0;
};

// A piece of one text drawn at (X, Y) (top left, relative to the result's top): bytes [Begin, End) of
// the field's text, in the role's font; Hit marks a keyword hit.
struct TTextRun {
  TListField Field = TListField::Title;
  TListRole Role = TListRole::Title;
  bool Hit = false;
  int X = 0;
  int Y = 0;
  size_t Begin = 0;
  size_t End = 0;
};

// One of the six 13 x 13 marks: 0 verified, 1 downloaded, 2 failed, 3 GB, 4 BIG5, 5 English.
struct TIconPlace {
  int Cell = 0;
  int X = 0;
  int Y = 0;
};

inline constexpr int kListLeft = 4;
inline constexpr int kIconSize = 13;

// Where everything of one result goes, relative to its top.
struct TResultLayout {
  const TOneResult* Result = nullptr;
  std::string Number;  // "12."
  std::string Score;   // the score percentage
  TTextCoding TitleCoding = TTextCoding::Gb;
  TTextCoding SummaryCoding = TTextCoding::Gb;
  TTextCoding UrlCoding = TTextCoding::Gb;
  TTextCoding EnginesCoding = TTextCoding::Gb;
  std::vector<TTextRun> Runs;
  std::vector<TIconPlace> Icons;
  int ScoreX = 0, ScoreY = 0;
  int EnginesX = 0, EnginesY = 0;
  int TitleBottom = 0;  // below the title's last row
  int GridY = 0;
  int Height = 0;  // the next result starts here
};

struct TLayoutParams {
  int DrawWidth = 0;
  int SummaryLines = 5;  // summary rows drawn; 0 hides the summary
  const std::vector<std::string>* Words = nullptr;
  const TTextMeasure* Measure = nullptr;
};

// Lays out the result at view index `index`. Texts wrap by character, never inside one; keyword hits
// are found on the bytes and widened to whole characters.
TResultLayout LayoutResult(const TOneResult& result, int index, const TLayoutParams& params);

// The visible part of a view: the results from the top index down to the first one crossing the bottom.
struct TListFrame {
  std::vector<int> ItemTops;         // count + 1 entries; entry i is result i's top + 1, laid out results only
  std::vector<TResultLayout> Items;  // results TopIndex, TopIndex + 1, ...
  int TopIndex = 0;
  int LastVisible = 0;
  int SelectedIndex = 0;  // moved up when the selected result's title is cut by the bottom
};

// Lays out the view from the cursor's top index down to the first result crossing height.
TListFrame LayoutList(const std::vector<TOneResult*>& view, const TListCursor& cursor, int height,
                      const TLayoutParams& params);

// The result under y: the last laid out result whose top is at or above y (below the last result
// gives the last one); -1 when none.
int ResultAt(const TListFrame& frame, int y);

}  // namespace quorvex
