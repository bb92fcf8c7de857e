#include "gui/TWindowLayout.h"

#include <QAction>
#include <QMainWindow>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/TEngineChoice.h"
#include "gui/TKeyTreeView.h"
#include "gui/TKeywordPanel.h"
#include "gui/TResultPanel.h"
#include "gui/TSearchList.h"
#include "gui/TSponsorPanel.h"
#include "gui/main_commands.h"
#include "gui/panel_parts.h"

namespace quorvex {
namespace {

// A pane of the window: a column of widgets without margins.
QVBoxLayout* Column(QWidget* pane) {
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

}  // namespace

TWindowLayout::TWindowLayout(QMainWindow& window, TKeywordPanel& keywords, TEngineChoice& engines,
                             TResultPanel& results, const TMainCommands& commands)
    : QSplitter(Qt::Horizontal, &window),
      window_(window),
      keywords_(keywords),
      engines_(engines),
      results_(results),
      keywordsPanel_(commands.keywordsPanel),
      treePanel_(commands.treePanel),
      pnTree_(new QWidget(this)),
      treeSplitter_(new QSplitter(Qt::Vertical, pnTree_)),
      keywordSplitter_(new QSplitter(Qt::Vertical)),
      keywordSeparator_(new QWidget),
      sponsor_(new TSponsorPanel) {
  pnTree_->setObjectName("pnTree");
  treeSplitter_->addWidget(Captioned("Key &Words Classify", keywords.Tree()));
  treeSplitter_->addWidget(&engines);
  treeSplitter_->setStretchFactor(0, 0);
  treeSplitter_->setStretchFactor(1, 1);
  treeSplitter_->setChildrenCollapsible(false);
  Column(pnTree_)->addWidget(treeSplitter_);
  pnTree_->setMinimumWidth(120);
  addWidget(pnTree_);

  auto* right = new QWidget(this);
  QVBoxLayout* column = Column(right);
  column->addWidget(sponsor_);
  keywordSeparator_->setFixedHeight(4);
  column->addWidget(keywordSeparator_);
  keywordSplitter_->addWidget(&keywords);
  keywordSplitter_->addWidget(&results);
  keywordSplitter_->setStretchFactor(1, 1);
  keywordSplitter_->setChildrenCollapsible(false);
  column->addWidget(keywordSplitter_, 1);
  addWidget(right);
  setStretchFactor(1, 1);
  setChildrenCollapsible(false);

  connect(keywordsPanel_, &QAction::toggled, this, &TWindowLayout::ShowKeywordPanel);
  connect(treePanel_, &QAction::toggled, this, &TWindowLayout::ShowTreePanel);
}

void TWindowLayout::ShowKeywordPanel(bool show) {
  if (!show) kept_ = WithShownSizes(kept_);
  keywords_.setVisible(show);
  keywordSeparator_->setVisible(show);
}

void TWindowLayout::ShowTreePanel(bool show) {
  if (!show) kept_ = WithShownSizes(kept_);
  pnTree_->setVisible(show);
}

void TWindowLayout::Load() {
  kept_ = TLayoutConfig::Load(TLayoutConfig::kFileName, Current());
  Apply(kept_);
  keywords_.SelectClass(kept_.SelectedTreeKey.value_or(0));
  keywords_.SelectRow(kept_.SelectedKey.value_or(0));
}

void TWindowLayout::Apply(const TLayoutConfig& layout) {
  keywordsPanel_->setChecked(layout.ShowKey);
  treePanel_->setChecked(layout.ShowTree);
  engines_.SetCategory(layout.Type);
  results_.List()->SetSortMethod(layout.SortMethod);
  switch (layout.WindowState) {
    case TWindowState::Maximised: window_.setWindowState(Qt::WindowMaximized); break;
    case TWindowState::Minimised: window_.setWindowState(Qt::WindowMinimized); break;
    case TWindowState::Normal: window_.setWindowState(Qt::WindowNoState); break;
  }
  if (layout.WindowState != TWindowState::Maximised && layout.Width > 0 && layout.Height > 0)
    window_.setGeometry(layout.Left, layout.Top, layout.Width, layout.Height);
  results_.List()->SetLook(layout.Look);
}

void TWindowLayout::SetLimits(const SearchLimits& limits) {
  kept_.CountPerEngine = limits.CountPerEngine;
  kept_.CountAll = limits.CountAll;
}

void TWindowLayout::ApplyPanelSizes() {
  if (panelSizesApplied_) return;
  const auto rest = [](const QSplitter* splitter, int used) {
    const int whole = splitter->orientation() == Qt::Vertical ? splitter->height() : splitter->width();
    return std::max(whole - used, 1);
  };
  treeSplitter_->setSizes({kept_.TreeHeight, rest(treeSplitter_, kept_.TreeHeight)});
  engines_.setSizes({kept_.TypeHeight, rest(&engines_, kept_.TypeHeight)});
  setSizes({kept_.TreeWidth, rest(this, kept_.TreeWidth)});
  keywordSplitter_->setSizes({kept_.KeywordHeight, rest(keywordSplitter_, kept_.KeywordHeight)});
  panelSizesApplied_ = true;
}

TLayoutConfig TWindowLayout::WithShownSizes(TLayoutConfig layout) const {
  if (!panelSizesApplied_) return layout;
  if (!pnTree_->isHidden()) {
    layout.TreeHeight = treeSplitter_->sizes().value(0, layout.TreeHeight);
    layout.TypeHeight = engines_.sizes().value(0, layout.TypeHeight);
    layout.TreeWidth = sizes().value(0, layout.TreeWidth);
  }
  if (!keywords_.isHidden()) layout.KeywordHeight = keywordSplitter_->sizes().value(0, layout.KeywordHeight);
  return layout;
}

TLayoutConfig TWindowLayout::Current() const {
  TLayoutConfig layout = WithShownSizes(kept_);
  layout.SelectedTreeKey = keywords_.SelectedNode();
  layout.SelectedKey = keywords_.SelectedRow();
  layout.ShowKey = !keywords_.isHidden();
  layout.ShowTree = !pnTree_->isHidden();
  layout.Type = engines_.Category();
  layout.SortMethod = results_.List()->SortMethod();
  layout.WindowState = window_.isMaximized()   ? TWindowState::Maximised
                       : window_.isMinimized() ? TWindowState::Minimised
                                               : TWindowState::Normal;
  const QRect place = window_.geometry();
  layout.Left = place.left();
  layout.Top = place.top();
  layout.Width = place.width();
  layout.Height = place.height();
  layout.Look = results_.List()->Look();
  return layout;
}

}  // namespace quorvex
