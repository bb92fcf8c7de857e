#pragma once
#include <QSplitter>

#include "core/app/LayoutConfig.h"
#include "core/engines/search_limits.h"

class QAction;
class QMainWindow;

namespace quorvex {

class TEngineChoice;
class TKeywordPanel;
class TResultPanel;
class TSponsorPanel;
struct TMainCommands;

// The main window's panes (its central widget) and the layout kept of them and of the window in
// Config.txt: the keyword tree over the engine choice on the left (pnTree); the sponsor pane, the
// keyword panel and the results on the right. The two panel commands of commands show and hide their
// panes.
class TWindowLayout : public QSplitter {
  Q_OBJECT
 public:
  TWindowLayout(QMainWindow& window, TKeywordPanel& keywords, TEngineChoice& engines, TResultPanel& results,
                const TMainCommands& commands);

  TSponsorPanel* Sponsor() const { return sponsor_; }
  // Reads Config.txt (what it lacks stays as it is) and applies it: panes, window, list look and order,
  // search limits, the selected class and keyword.
  void Load();
  // The layout as it is now, for Config.txt.
  TLayoutConfig Current() const;
  // The limits of the next search, as the keyword dialog last set them.
  SearchLimits Limits() const { return {kept_.CountPerEngine, kept_.CountAll}; }
  void SetLimits(const SearchLimits& limits);
  // Splitter sizes are absolute only once the window has its real size: the first showing applies them.
  void ApplyPanelSizes();

 private:
  void Apply(const TLayoutConfig& layout);
  // layout with the sizes of the panes now shown; a hidden pane keeps those it had when last shown.
  TLayoutConfig WithShownSizes(TLayoutConfig layout) const;
  void ShowKeywordPanel(bool show);
  void ShowTreePanel(bool show);

  QMainWindow& window_;
  TKeywordPanel& keywords_;
  TEngineChoice& engines_;
  TResultPanel& results_;
  QAction* keywordsPanel_;
  QAction* treePanel_;
  TLayoutConfig kept_;  // as read, with the sizes of hidden panes as they were last shown
  bool panelSizesApplied_ = false;
  QWidget* pnTree_;
  QSplitter* treeSplitter_;
  QSplitter* keywordSplitter_;
  QWidget* keywordSeparator_;
  TSponsorPanel* sponsor_;
};

}  // namespace quorvex
