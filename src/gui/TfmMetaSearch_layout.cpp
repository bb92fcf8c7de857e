// The panels of the main window.
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/store/TOneKey.h"
#include "gui/TActivityIndicator.h"
#include "gui/TEngineChoice.h"
#include "gui/TKeyTreeView.h"
#include "gui/TKeywordPanel.h"
#include "gui/TResultPanel.h"
#include "gui/TSearchList.h"
#include "gui/TSponsorPanel.h"
#include "gui/TfmMetaSearch.h"
#include "gui/panel_parts.h"

namespace quorvex {
void TfmMetaSearch::BuildSearchBar() {
  auto* bar = addToolBar("Search");
  bar->setMovable(false);
  bar->setObjectName("SearchBar");
  auto* keysLabel = new QLabel("&Keys:", bar);
  keysLabel->setBuddy(edKey);
  bar->addWidget(keysLabel);
  edKey->setFixedWidth(251);
  bar->addWidget(edKey);
  btnSearch = ToolButton(bar, QStyle::SP_FileDialogContentsView, "Search");
  btnSearch->setObjectName("btnSearch");
  btnSearch->setText("Search");
  btnSearch->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  btnStop = ToolButton(bar, QStyle::SP_BrowserStop, "Stop");
  btnStop->setObjectName("btnStop");
  btnStop->setEnabled(false);
  btnShowProgress = ToolButton(bar, QStyle::SP_FileDialogDetailedView, "Show Progress");
  btnShowProgress->setObjectName("btnShowProgress");
  btnVerify = ToolButton(bar, QStyle::SP_DialogApplyButton, "Verify Web Page");
  btnVerify->setObjectName("btnVerify");
  btnDownload = ToolButton(bar, QStyle::SP_ArrowDown, "Download Web Page");
  btnDownload->setObjectName("btnDownload");
  bar->addWidget(btnSearch);
  bar->addWidget(btnStop);
  // A tool bar hides a widget through its action.
  showProgressAction_ = bar->addWidget(btnShowProgress);
  showProgressAction_->setVisible(false);
  connect(btnShowProgress, &QToolButton::clicked, this, &TfmMetaSearch::ShowActivityWindow);
  bar->addSeparator();
  bar->addWidget(btnVerify);
  bar->addWidget(btnDownload);
  bar->addSeparator();
  for (const char* name : MatchModeNames) cbMatch->addItem(name);
  cbMatch->setFixedWidth(100);
  bar->addWidget(cbMatch);
  engines_->CategoryBox()->setFixedWidth(107);
  bar->addWidget(engines_->CategoryBox());
  auto* spacer = new QWidget(bar);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addWidget(spacer);
  bar->addWidget(Activity);
  connect(Activity, &TActivityIndicator::clicked, this, &TfmMetaSearch::ShowActivityWindow);
  connect(btnSearch, &QToolButton::clicked, this, &TfmMetaSearch::btnSearchClick);
  connect(edKey, &QLineEdit::returnPressed, this, &TfmMetaSearch::btnSearchClick);
  connect(btnStop, &QToolButton::clicked, this, &TfmMetaSearch::btnStopClick);
}

QWidget* TfmMetaSearch::BuildLeftPanel() {
  pnTree = new QWidget(this);
  pnTree->setObjectName("pnTree");
  auto* layout = new QVBoxLayout(pnTree);
  layout->setContentsMargins(0, 0, 0, 0);
  treeSplitter_ = new QSplitter(Qt::Vertical, pnTree);
  treeSplitter_->addWidget(Captioned("Key &Words Classify", keywords_->Tree()));
  treeSplitter_->addWidget(engines_);
  treeSplitter_->setStretchFactor(0, 0);
  treeSplitter_->setStretchFactor(1, 1);
  treeSplitter_->setChildrenCollapsible(false);
  layout->addWidget(treeSplitter_);
  pnTree->setMinimumWidth(120);
  return pnTree;
}

QWidget* TfmMetaSearch::BuildRightPanel() {
  auto* right = new QWidget(this);
  auto* layout = new QVBoxLayout(right);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  pnSponsor = new TSponsorPanel(right);
  layout->addWidget(pnSponsor);

  keywordSeparator_ = new QWidget(right);
  keywordSeparator_->setFixedHeight(4);
  layout->addWidget(keywordSeparator_);

  keywordSplitter_ = new QSplitter(Qt::Vertical, right);
  keywordSplitter_->addWidget(keywords_);
  keywordSplitter_->addWidget(results_);
  keywordSplitter_->setStretchFactor(1, 1);
  keywordSplitter_->setChildrenCollapsible(false);
  layout->addWidget(keywordSplitter_, 1);
  return right;
}

void TfmMetaSearch::BuildStatusBar() {
  for (int width : {150, 100, 50}) {
    auto* panel = new QLabel(statusBar());
    panel->setFixedWidth(width);
    panel->setObjectName("StatusPanel" + QString::number(StatusPanels.size()));
    statusBar()->addWidget(panel);
    StatusPanels.append(panel);
  }
  // Which engines of the last search gave nothing, and why.
  auto* engineNote = new QLabel(statusBar());
  engineNote->setObjectName("StatusPanel" + QString::number(StatusPanels.size()));
  statusBar()->addWidget(engineNote, 1);
  StatusPanels.append(engineNote);
}

}  // namespace quorvex
