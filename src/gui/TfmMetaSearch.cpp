#include "gui/TfmMetaSearch.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QStatusBar>

#include "core/app/AppState.h"
#include "core/app/CommandStates.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/common/unsaved_files.h"
#include "core/pages/TVerify.h"
#include "core/sponsor/TAdvertiser.h"
#include "core/store/TOneKey.h"
#include "core/update/TDownloadEngines.h"
#include "gui/TActivityIndicator.h"
#include "gui/TEngineChoice.h"
#include "gui/TKeyTreeView.h"
#include "gui/TKeywordPanel.h"
#include "gui/TResultPanel.h"
#include "gui/TSearchList.h"
#include "gui/TSponsorPanel.h"
#include "gui/TfmAbout.h"
#include "gui/TfmDownload.h"
#include "gui/TfmEngineHealth.h"
#include "gui/TfmKeyProp.h"
#include "gui/TfmLearnEngine.h"
#include "gui/TfmOption.h"
#include "gui/TfmPageProperty.h"
#include "gui/TfmProgress.h"
#include "gui/display_text.h"

namespace quorvex {

TfmMetaSearch::TfmMetaSearch(MainThreadDispatcher& dispatcher, AppState& app, QWidget* parent)
    : QMainWindow(parent),
      edKey(new QLineEdit(this)),
      cbMatch(new QComboBox(this)),
      Activity(new TActivityIndicator(this)),
      results_(new TResultPanel(this)),
      List(results_->List()),
      dispatcher_(dispatcher),
      app_(app),
      program_(dispatcher, app, *this, TProgramFiles::Default(), [this] { return keywords_->Tree()->Nodes(); }) {
  engines_ = new TEngineChoice(program_, this);
  keywords_ = new TKeywordPanel(program_, app_, this);
  edKey->setObjectName("edKey");
  cbMatch->setObjectName("cbMatch");

  QFont tahoma("Tahoma");
  tahoma.setPixelSize(12);
  setFont(tahoma);
  BuildSearchBar();
  mainSplitter_ = new QSplitter(Qt::Horizontal, this);
  mainSplitter_->addWidget(BuildLeftPanel());
  mainSplitter_->addWidget(BuildRightPanel());
  mainSplitter_->setStretchFactor(1, 1);
  mainSplitter_->setChildrenCollapsible(false);
  setCentralWidget(mainSplitter_);
  BuildStatusBar();
  BuildMenus();
  resize(657, 489);

  connect(engines_, &TEngineChoice::CategoryActivated, this, &TfmMetaSearch::SearchCategory);
  connect(keywords_, &TKeywordPanel::KeyChosen, this, [this](TOneKey* key) {
    results_->ShowKey(key);
    // In place of results the file holds but could not give.
    if (key && key->ResultsUnreadable) List->SetEmptyNote(key, ToDisplay(program_.ResultsProblem(*key)));
  });
  connect(results_, &TResultPanel::KeywordPanelClicked, this, &TfmMetaSearch::ToggleKeywordPanel);
  connect(results_, &TResultPanel::TreePanelClicked, this, &TfmMetaSearch::ToggleTreePanel);
  connect(keywords_, &TKeywordPanel::EditRequested, this, &TfmMetaSearch::NEditKeyClick);

  // The dialogs, created once and kept hidden until their commands show them.
  progress_ = new TfmProgress(this);
  pageProperty_ = new TfmPageProperty(this);
  keyProp_ = new TfmKeyProp(this);
  about_ = new TfmAbout(this);
  option_ = new TfmOption(this);
  download_ = new TfmDownload(this);
  connect(download_, &TfmDownload::PageStateChanged, List, qOverload<>(&QWidget::update));
  learn_ = new TfmLearnEngine(program_.Index(), this);
  health_ = new TfmEngineHealth(this);
  connect(health_, &TfmEngineHealth::LearnRequested, this, &TfmMetaSearch::LearnEngine);
  connect(List, &TSearchList::KeyEdited, this, [this](TOneKey& key) {
    program_.KeyEdited(key);
    UpdateKeyRow(key);
  });
  connect(List, &TSearchList::CursorMoved, this, [this] { program_.KeyListEdited(); });  // Extra1/Extra2
  connect(List, &TSearchList::PropertyRequested, this,
          [this] { pageProperty_->ShowPageProperty(List->CurrentResult()); });

  Startup();
  tmStop_ = new QTimer(this);
  connect(tmStop_, &QTimer::timeout, this, &TfmMetaSearch::tmStopTimer);
  tmStop_->start(200);
}

TfmMetaSearch::~TfmMetaSearch() {
  engineUpdate_.reset();
  advertiser_.reset();
  // A run still going (no shut-down ran) ends while the window it reports to is whole.
  if (program_.Activity() != TActivityState::Idle) program_.Stop();
}

void TfmMetaSearch::Startup() {
  setWindowState(Qt::WindowMaximized);
  engines_->Reload();
  cbMatch->setCurrentIndex(0);
  setWindowTitle(ProgramTitle());
  UpdateCommands();
  keywords_->Load();
  layout_ = TLayoutConfig::Load(TLayoutConfig::kFileName, CurrentLayout());
  ApplyLayout(layout_);
  keywords_->SelectClass(layout_.SelectedTreeKey.value_or(0));
  keywords_->SelectRow(layout_.SelectedKey.value_or(0));
  if (Options().Value("DEngines") != "1") StartEngineUpdate();
}

void TfmMetaSearch::StartEngineUpdate() {
  engineUpdate_ = std::make_unique<TDownloadEngines>(dispatcher_, [this] { engines_->Reload(); });
  engineUpdate_->Start();
}

void TfmMetaSearch::ApplyLayout(const TLayoutConfig& layout) {
  if (!layout.ShowKey) ToggleKeywordPanel();
  if (!layout.ShowTree) ToggleTreePanel();
  engines_->SetCategory(layout.Type);
  List->SetSortMethod(layout.SortMethod);
  countPerEngine_ = layout.CountPerEngine;
  countAll_ = layout.CountAll;
  switch (layout.WindowState) {
    case TWindowState::Maximised: setWindowState(Qt::WindowMaximized); break;
    case TWindowState::Minimised: setWindowState(Qt::WindowMinimized); break;
    case TWindowState::Normal: setWindowState(Qt::WindowNoState); break;
  }
  if (layout.WindowState != TWindowState::Maximised && layout.Width > 0 && layout.Height > 0)
    setGeometry(layout.Left, layout.Top, layout.Width, layout.Height);
  List->SetLook(layout.Look);
}

void TfmMetaSearch::ApplyPanelSizes() {
  const auto rest = [](const QSplitter* splitter, int used) {
    const int whole = splitter->orientation() == Qt::Vertical ? splitter->height() : splitter->width();
    return std::max(whole - used, 1);
  };
  treeSplitter_->setSizes({layout_.TreeHeight, rest(treeSplitter_, layout_.TreeHeight)});
  engines_->setSizes({layout_.TypeHeight, rest(engines_, layout_.TypeHeight)});
  mainSplitter_->setSizes({layout_.TreeWidth, rest(mainSplitter_, layout_.TreeWidth)});
  keywordSplitter_->setSizes({layout_.KeywordHeight, rest(keywordSplitter_, layout_.KeywordHeight)});
  panelSizesApplied_ = true;
}

void TfmMetaSearch::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!panelSizesApplied_) ApplyPanelSizes();
}

TLayoutConfig TfmMetaSearch::CurrentLayout() const {
  TLayoutConfig layout = layout_;
  layout.SelectedTreeKey = keywords_->SelectedNode();
  layout.SelectedKey = keywords_->SelectedRow();
  // Hidden panels keep the sizes they had when they were last shown.
  if (panelSizesApplied_ && !pnTree->isHidden()) {
    layout.TreeHeight = treeSplitter_->sizes().value(0, layout.TreeHeight);
    layout.TypeHeight = engines_->sizes().value(0, layout.TypeHeight);
    layout.TreeWidth = mainSplitter_->sizes().value(0, layout.TreeWidth);
  }
  if (panelSizesApplied_ && !keywords_->isHidden()) layout.KeywordHeight = keywordSplitter_->sizes().value(0, layout.KeywordHeight);
  layout.ShowKey = !keywords_->isHidden();
  layout.ShowTree = !pnTree->isHidden();
  layout.Type = engines_->Category();
  layout.SortMethod = List->SortMethod();
  layout.CountPerEngine = countPerEngine_;
  layout.CountAll = countAll_;
  layout.WindowState = isMaximized()   ? TWindowState::Maximised
                       : isMinimized() ? TWindowState::Minimised
                                       : TWindowState::Normal;
  layout.Left = geometry().left();
  layout.Top = geometry().top();
  layout.Width = geometry().width();
  layout.Height = geometry().height();
  layout.Look = List->Look();
  return layout;
}

void TfmMetaSearch::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  // The shut-down saves everything itself; a timer tick inside its warning's event loop would retry the
  // same failed files and warn a second time.
  tmStop_->stop();
  advertiser_.reset();  // before the pane it shows pages in
  // The user is told once, at the end, which files were not kept.
  const UnsavedFiles unsaved = program_.ShutDown([this](UnsavedFiles& files) {
    files.Note(CurrentLayout().Save(TLayoutConfig::kFileName), TLayoutConfig::kFileName);
  });
  if (!unsaved.Empty()) QMessageBox::warning(this, "Quorvex", ToDisplay(unsaved.Message()));
}

void TfmMetaSearch::closeEvent(QCloseEvent* event) {
  Shutdown();
  event->accept();
}

bool TfmMetaSearch::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    SetStatus(0, "Press F1 for help");
    List->setFocus();
    if (!advertiser_ && !shutDown_) advertiser_ = std::make_unique<TAdvertiser>(dispatcher_, *pnSponsor->Pane(), CacheDir());
  }
  return QMainWindow::event(event);
}

void TfmMetaSearch::tmStopTimer() {
  if (app_.ActivityState != TActivityState::Idle) Activity->Turn();
  const std::string failure = program_.Tick(SaveScheduler::Clock::now());
  if (failure.empty()) return;
  // Not modal, so that the timer goes on trying while the box is open; the shut-down names what is
  // still not written then.
  auto* box = new QMessageBox(QMessageBox::Warning, "Quorvex",
                              ToDisplay(failure + "\n\nQuorvex tries again every second while it runs."),
                              QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void TfmMetaSearch::btnSearchClick() {
  TSearchRequest request;
  request.Keyword = FromTyped(edKey->text());
  request.MatchMode = cbMatch->currentIndex();
  request.Category = engines_->Category();
  request.Classify = keywords_->CurrentClass();
  if (program_.StartSearch(request, Limits())) List->setFocus();
}

void TfmMetaSearch::StartUpdateSearch() {
  TOneKey* key = keywords_->CurrentKey();
  if (!key || !ResultsReadable(*key)) return;
  if (program_.StartUpdateSearch(*key, engines_->Category(), Limits())) List->setFocus();
}

void TfmMetaSearch::btnStopClick() { program_.Stop(); }

void TfmMetaSearch::VerifyWebPage(bool download) {
  TOneKey* key = keywords_->CurrentKey(true);
  if (!key) {
    QMessageBox::warning(this, "worning!", "Please select a keywords to download...");
    return;
  }
  if (ResultsReadable(*key)) program_.StartVerify(*key, download ? kDownloadMode : kVerifyMode, *download_);
}

bool TfmMetaSearch::ResultsReadable(TOneKey& key) {
  const std::string problem = program_.ResultsProblem(key);
  if (!problem.empty()) QMessageBox::warning(this, "Quorvex", ToDisplay(problem));
  return problem.empty();
}

void TfmMetaSearch::StopVerify() { program_.StopVerify(); }

void TfmMetaSearch::VerifyStarted(TOneKey& key) {
  UpdateKeyRow(key);
  SetStatus(0, StateNames[1]);
  SetStatus(1, StateNames[1]);
}

void TfmMetaSearch::VerifyEnded(TOneKey& key) {
  UpdateKeyRow(key);
  download_->hide();
  SetStatus(1, StateNames[3]);
}

void TfmMetaSearch::ShowActivityWindow() {
  if (app_.ActivityState == TActivityState::Verifying) download_->show();
  if (app_.ActivityState == TActivityState::Searching) progress_->show();
}

void TfmMetaSearch::ToggleKeywordPanel() {
  const bool show = keywords_->isHidden();
  keywords_->setVisible(show);
  keywordSeparator_->setVisible(show);
  commands_.keywordsPanel->setChecked(show);
  results_->SetPanelChecks(show, !pnTree->isHidden());
}

void TfmMetaSearch::ToggleTreePanel() {
  const bool show = pnTree->isHidden();
  pnTree->setVisible(show);
  commands_.treePanel->setChecked(show);
  results_->SetPanelChecks(!keywords_->isHidden(), show);
}

void TfmMetaSearch::ToggleMaximised() {
  if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) {
    showNormal();
  } else {
    showMaximized();
  }
}

// --- What the search run shows.

void TfmMetaSearch::SetStatus(int panel, std::string_view text) {
  if (panel >= 0 && panel < StatusPanels.size()) StatusPanels[panel]->setText(ToDisplay(text));
}

void TfmMetaSearch::UpdateCommands() {
  const TCommandStates states = CommandStatesFor(app_.ActivityState);
  for (QAction* command : {commands_.updateSearch, commands_.verify, commands_.download})
    command->setVisible(states.VerifyCommandsShown);
  for (QWidget* control : {static_cast<QWidget*>(btnSearch), static_cast<QWidget*>(btnVerify),
                           static_cast<QWidget*>(btnDownload), static_cast<QWidget*>(edKey)})
    control->setEnabled(states.StartControlsEnabled);
  if (keyProp_) keyProp_->SetStartEnabled(states.StartControlsEnabled);
  showProgressAction_->setVisible(states.ShowProgressShown);
  btnStop->setEnabled(states.StopEnabled);
  for (QAction* command : {commands_.stopVerify, commands_.showVerifyProgress})
    command->setVisible(states.StopVerifyCommandsShown);
}

void TfmMetaSearch::KeyAdded(TOneKey& key) { keywords_->AddKey(key); }

void TfmMetaSearch::SearchStarted(TOneKey& key) {
  ShowEnginesGaveNothing(key, {});
  UpdateKeyRow(key);
  progress_->show();
}

std::unique_ptr<TSearchProgressRow> TfmMetaSearch::AddProgressRow(std::string_view engineName, const TOneKey& key) {
  return progress_->AddEngineRow(ToDisplay(engineName), key.PerEngineLimit);
}

void TfmMetaSearch::ResultsMerged(TOneKey& key, int runTotal, int countAll) {
  UpdateKeyRow(key);
  results_->ShowProgress(runTotal, countAll);
  List->ResultsChanged(key);
}

void TfmMetaSearch::SearchEnded(TOneKey& key) {
  UpdateKeyRow(key);
  List->ResultsChanged(key);
  progress_->hide();
  results_->ShowSearchEnded();
  ShowEnginesGaveNothing(key, program_.SearchRun().GaveNothing());
}

void TfmMetaSearch::ShowEnginesGaveNothing(const TOneKey& key, std::string_view summary) {
  SetStatus(kEngineNotePanel, summary);
  StatusPanels[kEngineNotePanel]->setToolTip(ToDisplay(summary));
  List->SetEmptyNote(&key, ToDisplay(summary));
}

}  // namespace quorvex
