#pragma once
#include <QPixmap>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "core/view/TFilter.h"
#include "core/view/list_input.h"
#include "core/view/list_look.h"
#include "core/view/result_layout.h"
#include "gui/result_text.h"

class QMenu;
class QPainter;
class QScrollBar;
class QTimer;

namespace quorvex {

class TOneKey;
class TOneResult;
class TProgram;

// The result list: draws the results of one keyword and carries the commands that act on the selected
// result. Its edits of the keyword (a deleted result, a visited mark, the selection and scroll position
// kept as Extra1 / Extra2) are made by the program, which tells the window to repaint.
class TSearchList : public QWidget {
  Q_OBJECT
 public:
  explicit TSearchList(TProgram& program, QWidget* parent = nullptr);
  ~TSearchList() override;

  void SetKey(TOneKey* key);  // keyword shown (nullptr: none); Extra1/Extra2 keep selected/top index
  void ResultsChanged(const TOneKey& key);  // repaints soon when key is the keyword shown
  TOneKey* Key() const;
  void SetPopupMenu(QMenu* menu);  // pmURL, built by the main window
  const TListLook& Look() const;
  void SetLook(const TListLook& look);  // repaints
  int SortMethod() const;
  void SetSortMethod(int order);      // 0..7; repaints; emits SortMethodChanged when it changes
  TFilter& Filter();                  // the filter of the view
  TOneResult* CurrentResult() const;  // selected result or nullptr
  void OpenResult(bool newWindow, bool local);
  void CopyUrl();
  bool DeleteSelected();  // asks "Delete?" / "OK!"
  void EnlargeFont();
  void DiminishFont();
  bool FindText(const std::string& text, bool fromTop, bool ignoreCase);  // selects and shows the hit
  bool WriteExport(const std::filesystem::path& file);  // the keyword's HTML export in the current view
  // A note drawn in place of key's results while it has none, such as why its search brought nothing.
  // It belongs to key: the list shows it only while it shows key.
  void SetEmptyNote(const TOneKey* key, const QString& note);
  QString ShownNote() const;  // the note on show now; empty when none

 signals:
  void SortMethodChanged(int order);  // Left / Right keys changed the order
  void PropertyRequested();           // Alt+Enter: the window shows TfmPageProperty for CurrentResult()

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void Rebuild() const;
  TLayoutParams LayoutParams() const;
  void UpdateFonts();
  void SetFontDelta(int delta);
  void DrawItem(QPainter& painter, const TResultLayout& item, int top, bool selected);
  void RedrawResult(int index);
  void ShowTop();
  void StoreCursor();
  int DrawWidth() const;

  TProgram& program_;
  TOneKey* key_ = nullptr;
  const TOneKey* noteKey_ = nullptr;
  QString note_;
  std::vector<std::string> keywords_;
  TListLook look_;
  TFilter filter_;
  int sortMethod_ = 0;
  mutable TListCursor cursor_;
  int fontDelta_ = 0;
  int wheelRemainder_ = 0;
  TListFrame frame_;
  TFontMeasure measure_;
  QPixmap normalIcons_;
  QPixmap selectedIcons_;
  QMenu* popup_ = nullptr;
  QScrollBar* scrollBar_ = nullptr;
  static constexpr int kMergedRepaintMs = 200;
  QTimer* repaintSoon_ = nullptr;  // a repaint after merged results, shared by the merges until it runs
};

}  // namespace quorvex
