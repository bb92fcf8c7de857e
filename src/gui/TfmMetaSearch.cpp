#include "gui/TfmMetaSearch.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QStatusBar>

#include "core/app/AppState.h"
#include "core/app/CommandStates.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/app/guarded_steps.h"
#include "core/common/unsaved_files.h"
#include "core/pages/TVerify.h"
#include "core/sponsor/TAdvertiser.h"
#include "core/store/KeyTree.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "core/update/TDownloadEngines.h"
#include "gui/TActivityIndicator.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TSearchList.h"
#include "gui/TSponsorPanel.h"
#include "gui/TVLabel.h"
#include "gui/TfmAbout.h"
#include "gui/TfmAppearance.h"
#include "gui/TfmDownload.h"
#include "gui/TfmEngineHealth.h"
#include "gui/TfmFilter.h"
#include "gui/TfmFind.h"
#include "gui/TfmKeyProp.h"
#include "gui/TfmLearnEngine.h"
#include "gui/TfmOption.h"
#include "gui/TfmPageProperty.h"
#include "gui/TfmProgress.h"
#include "gui/display_text.h"
#include "gui/pictures.h"

namespace quorvex {
namespace {

// How long the closing program waits at most for stopped verification workers to leave. A stopped
// worker leaves within its current step, so the wait ends as soon as the last one is gone; the bound
// is generous because a worker still running when the window's objects go would touch freed memory.
constexpr std::chrono::milliseconds kVerifyWindDown{10000};

}  // namespace

TfmMetaSearch::TfmMetaSearch(MainThreadDispatcher& dispatcher, AppState& app, QWidget* parent)
    : QMainWindow(parent),
      edKey(new QLineEdit(this)),
      cbMatch(new QComboBox(this)),
      cbType(new QComboBox(this)),
      Activity(new TActivityIndicator(this)),
      tvKey(new TKeyTreeView(this)),
      lvType(new QListWidget(this)),
      lvNowEngine(new QListWidget(this)),
      lblNowKey(new TVLabel("Now Classify", QColor(255, 255, 128), this)),
      lvKey(new TKeyListView(this)),
      lblKey(new QLabel(this)),
      lblDate(new QLabel(this)),
      lblNum(new QLabel(this)),
      pbDownload(new QProgressBar(this)),
      cbSortMethod(new QComboBox(this)),
      List(new TSearchList(this)),
      dispatcher_(dispatcher),
      app_(app),
      run_(dispatcher, *this, app),
      saver_({&app.KeyList, kAllKeyFileName, SearchResultDir(), [this] { return CategoryNames(); },
              [this] { return SaveKeyTree(std::filesystem::path(ProgramDir()) / kKeyTreeFileName, tvKey->Nodes()); }}) {
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

  connect(cbType, &QComboBox::activated, this, [this] { cbTypeChange(true); });
  connect(lvType, &QListWidget::currentRowChanged, this, &TfmMetaSearch::lvTypeChange);
  connect(lvType, &QListWidget::itemDoubleClicked, this, &TfmMetaSearch::lvTypeDblClick);
  connect(lvNowEngine, &QListWidget::itemChanged, this, &TfmMetaSearch::lvNowEngineChange);
  connect(lvNowEngine, &QListWidget::currentItemChanged, this, &TfmMetaSearch::lvNowEngineChange);
  connect(tvKey, &QTreeWidget::currentItemChanged, this, &TfmMetaSearch::tvKeyChange);
  connect(tvKey, &TKeyTreeView::KeywordsDropped, this, &TfmMetaSearch::KeywordsDropped);
  connect(tvKey, &QTreeWidget::itemChanged, this, [this] { saver_.TreeChanged(); });  // a class renamed
  connect(lvKey, &QTreeWidget::currentItemChanged, this, &TfmMetaSearch::lvKeyChange);
  connect(lvKey, &QTreeWidget::itemDoubleClicked, this, &TfmMetaSearch::NEditKeyClick);
  connect(lvKey, &TKeyListView::EditRequested, this, &TfmMetaSearch::NEditKeyClick);

  // The dialogs, created once and kept hidden until their commands show them.
  progress_ = new TfmProgress(this);
  pageProperty_ = new TfmPageProperty(this);
  keyProp_ = new TfmKeyProp(this);
  about_ = new TfmAbout(this);
  option_ = new TfmOption(this);
  find_ = new TfmFind(this);
  download_ = new TfmDownload(this);
  connect(download_, &TfmDownload::PageStateChanged, List, qOverload<>(&QWidget::update));
  filter_ = new TfmFilter(this);
  appearance_ = new TfmAppearance(this);
  learn_ = new TfmLearnEngine(index_, this);
  health_ = new TfmEngineHealth(this);
  connect(health_, &TfmEngineHealth::LearnRequested, this, &TfmMetaSearch::LearnEngine);
  connect(List, &TSearchList::KeyEdited, this, [this](TOneKey& key) {
    saver_.KeyChanged(key);
    UpdateKeyRow(key);
  });
  connect(List, &TSearchList::CursorMoved, this, [this] { saver_.KeyListChanged(); });  // Extra1/Extra2
  connect(List, &TSearchList::PropertyRequested, this,
          [this] { pageProperty_->ShowPageProperty(List->CurrentResult()); });

  Startup();
  qApp->installEventFilter(this);
  tmStop_ = new QTimer(this);
  connect(tmStop_, &QTimer::timeout, this, &TfmMetaSearch::tmStopTimer);
  tmStop_->start(200);
}

TfmMetaSearch::~TfmMetaSearch() {
  qApp->removeEventFilter(this);
  engineUpdate_.reset();
  advertiser_.reset();
  if (run_.Searching()) run_.StopSearch();
  if (app_.CurrentVerify) {
    StopVerifiers(*app_.CurrentVerify);
    WaitForVerifyWorkers(kVerifyWindDown);
  }
}

void TfmMetaSearch::Startup() {
  setWindowState(Qt::WindowMaximized);
  categoryPictures_ = CategoryPictures(QString::fromStdString(EngineDir() + "icon.bmp"));
  LoadEngineIndex();
  cbMatch->setCurrentIndex(0);
  app_.ActivityState = TActivityState::Idle;
  setWindowTitle(ProgramTitle());
  UpdateCommands();
  LoadKeyTree();
  LoadKeywords();
  FillKeyList(std::nullopt);
  layout_ = TLayoutConfig::Load(TLayoutConfig::kFileName, CurrentLayout());
  ApplyLayout(layout_);
  if (QTreeWidgetItem* node = tvKey->NodeAt(layout_.SelectedTreeKey.value_or(0))) {
    tvKey->setCurrentItem(node);
    tvKeyChange();  // also when the node was current already
  }
  const int row = layout_.SelectedKey.value_or(0);
  if (row < lvKey->topLevelItemCount()) {
    lvKey->clearSelection();
    lvKey->setCurrentItem(lvKey->topLevelItem(row));
    lvKey->setFocus();
  }
  if (Options().Value("DEngines") != "1") StartEngineUpdate();
}

void TfmMetaSearch::StartEngineUpdate() {
  engineUpdate_ = std::make_unique<TDownloadEngines>(dispatcher_, [this] { LoadEngineIndex(); });
  engineUpdate_->Start();
}

void TfmMetaSearch::ApplyLayout(const TLayoutConfig& layout) {
  if (!layout.ShowKey) ToggleKeywordPanel();
  if (!layout.ShowTree) ToggleTreePanel();
  if (layout.Type >= 0 && layout.Type < cbType->count()) cbType->setCurrentIndex(layout.Type);
  cbTypeChange(true);
  List->SetSortMethod(layout.SortMethod);
  cbSortMethod->setCurrentIndex(List->SortMethod());
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
  treeSplitter_->setSizes({layout_.TreeHeight, layout_.TypeHeight, rest(treeSplitter_, layout_.TreeHeight + layout_.TypeHeight)});
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
  layout.SelectedTreeKey.reset();
  if (QTreeWidgetItem* node = tvKey->currentItem(); node && node->isSelected())
    layout.SelectedTreeKey = tvKey->PositionOf(node);
  layout.SelectedKey.reset();
  if (QTreeWidgetItem* row = lvKey->currentItem(); row && row->isSelected())
    layout.SelectedKey = lvKey->indexOfTopLevelItem(row);
  // Hidden panels keep the sizes they had when they were last shown.
  if (panelSizesApplied_ && !pnTree->isHidden()) {
    const QList<int> heights = treeSplitter_->sizes();
    layout.TreeHeight = heights.value(0, layout.TreeHeight);
    layout.TypeHeight = heights.value(1, layout.TypeHeight);
    layout.TreeWidth = mainSplitter_->sizes().value(0, layout.TreeWidth);
  }
  if (panelSizesApplied_ && !pnKeyWord->isHidden()) layout.KeywordHeight = keywordSplitter_->sizes().value(0, layout.KeywordHeight);
  layout.ShowKey = btnShowKey->isChecked();
  layout.ShowTree = btnShowTree->isChecked();
  layout.Type = cbType->currentIndex();
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
  // A file that cannot be written (a full disk, a read-only folder) keeps its old contents and does not
  // stop the others; the user is told once, at the end, which files were not kept.
  UnsavedFiles unsaved;
  RunGuardedSteps({
      [this, &unsaved] {
        saver_.SaveAll(SaveScheduler::Clock::now(), &unsaved);  // KeyTree.txt, then AllKey.txt
        unsaved.Note(CurrentLayout().Save(TLayoutConfig::kFileName), TLayoutConfig::kFileName);
        return true;
      },
      [this] {
        if (app_.ActivityState == TActivityState::Searching) run_.StopSearch();
        return true;
      },
      [this] {
        if (app_.ActivityState == TActivityState::Verifying) StopVerify();
        // Stopped workers end after their current request; the dispatcher must outlive them.
        WaitForVerifyWorkers(kVerifyWindDown);
        return true;
      },
      [this, &unsaved] {
        const std::filesystem::path file = std::filesystem::path(EngineDir()) / EngineIndex::kFileName;
        const bool written = index_.Save(file);
        // Without an engine index there is no choice of engines to keep.
        if (!index_.Lines().empty()) unsaved.Note(written, file);
        return true;
      },
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
  run_.TimerTick();
  if (app_.CurrentVerify && app_.CurrentVerify->RunningVerifiers == 0) StopVerify();
  TickSaves();
}

void TfmMetaSearch::TickSaves() {
  UnsavedFiles unsaved;
  saver_.Tick(SaveScheduler::Clock::now(), &unsaved);
  if (!saver_.HasPending()) saveFailureTold_ = false;
  if (unsaved.Empty() || saveFailureTold_) return;
  saveFailureTold_ = true;
  // Not modal, so that the timer goes on trying while the box is open; the shut-down names what is
  // still not written then.
  auto* box = new QMessageBox(QMessageBox::Warning, "Quorvex",
                              ToDisplay(unsaved.Message() + "\n\nQuorvex tries again every second while it runs."),
                              QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void TfmMetaSearch::btnSearchClick() {
  if (app_.CurrentSearch || app_.ActivityState != TActivityState::Idle) return;
  app_.UpdateMode = false;
  TSearchRequest request;
  request.Keyword = FromTyped(edKey->text());
  request.MatchMode = cbMatch->currentIndex();
  request.Category = cbType->currentIndex();
  if (QTreeWidgetItem* node = tvKey->currentItem()) request.Classify = TKeyTreeView::TextOf(node);
  const std::vector<std::string> categories = CategoryNames();
  if (request.Category >= 0 && static_cast<size_t>(request.Category) < categories.size())
    request.Engines = index_.SearchEntries(categories[static_cast<size_t>(request.Category)]);
  run_.Limits = {countPerEngine_, countAll_};
  if (run_.StartSearch(request)) List->setFocus();
}

void TfmMetaSearch::StartUpdateSearch() {
  TOneKey* key = TKeyListView::KeyOf(lvKey->currentItem());
  if (!key || app_.CurrentSearch || app_.ActivityState != TActivityState::Idle) return;
  const std::vector<std::string> categories = CategoryNames();
  const int category = cbType->currentIndex();
  std::vector<std::string> engines;
  if (category >= 0 && static_cast<size_t>(category) < categories.size())
    engines = index_.SearchEntries(categories[static_cast<size_t>(category)]);
  run_.Limits = {countPerEngine_, countAll_};
  if (run_.StartUpdateSearch(*key, engines)) List->setFocus();
}

void TfmMetaSearch::btnStopClick() {
  if (app_.ActivityState == TActivityState::Verifying) {
    StopVerify();
    return;
  }
  run_.StopSearch();
}

void TfmMetaSearch::VerifyWebPage(bool download) {
  QTreeWidgetItem* row = lvKey->currentItem();
  TOneKey* key = TKeyListView::KeyOf(row);
  if (!row || !row->isSelected() || !key) {
    QMessageBox::warning(this, "worning!", "Please select a keywords to download...");
    return;
  }
  if (app_.ActivityState != TActivityState::Idle) return;
  key->EnsureLoaded(SearchResultDir());
  app_.ActivityState = TActivityState::Verifying;
  UpdateCommands();
  app_.CurrentVerify = key;
  UpdateKeyRow(*key);
  SetStatus(0, StateNames[1]);
  SetStatus(1, StateNames[1]);
  StartVerify(*key, download ? kDownloadMode : kVerifyMode, dispatcher_, *download_, LocalFileDir());
}

void TfmMetaSearch::StopVerify() {
  if (app_.CurrentVerify) saver_.KeyChanged(*app_.CurrentVerify);
  TOneKey* key = app_.CurrentVerify;
  if (!key) return;
  StopVerifiers(*key);
  app_.CurrentVerify = nullptr;
  UpdateKeyRow(*key);
  download_->hide();
  app_.ActivityState = TActivityState::Idle;
  UpdateCommands();
  SetStatus(1, StateNames[3]);
}

void TfmMetaSearch::ShowActivityWindow() {
  if (app_.ActivityState == TActivityState::Verifying) download_->show();
  if (app_.ActivityState == TActivityState::Searching) progress_->show();
}

void TfmMetaSearch::ToggleKeywordPanel() {
  const bool show = pnKeyWord->isHidden();
  pnKeyWord->setVisible(show);
  keywordSeparator_->setVisible(show);
  NKeywordsPanel_->setChecked(show);
  btnShowKey->setChecked(show);
}

void TfmMetaSearch::ToggleTreePanel() {
  const bool show = pnTree->isHidden();
  pnTree->setVisible(show);
  NTreePanel_->setChecked(show);
  btnShowTree->setChecked(show);
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
  for (QAction* command : verifyCommands_) command->setVisible(states.VerifyCommandsShown);
  for (QWidget* control : {static_cast<QWidget*>(btnSearch), static_cast<QWidget*>(btnVerify),
                           static_cast<QWidget*>(btnDownload), static_cast<QWidget*>(edKey)})
    control->setEnabled(states.StartControlsEnabled);
  if (keyProp_) keyProp_->SetStartEnabled(states.StartControlsEnabled);
  showProgressAction_->setVisible(states.ShowProgressShown);
  btnStop->setEnabled(states.StopEnabled);
  for (QAction* command : stopVerifyCommands_) command->setVisible(states.StopVerifyCommandsShown);
}

void TfmMetaSearch::KeyAdded(TOneKey& key) {
  auto* row = new QTreeWidgetItem;
  row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(&key)));
  lvKey->addTopLevelItem(row);
  UpdateKeyRow(key);
  lvKey->clearSelection();
  lvKey->setCurrentItem(row);
  saver_.KeyListChanged();  // listed even if the search never ends
}

void TfmMetaSearch::SearchStarted(TOneKey& key) {
  ShowEnginesGaveNothing(key, {});
  UpdateKeyRow(key);
  progress_->show();
}

std::unique_ptr<TSearchProgressRow> TfmMetaSearch::AddProgressRow(std::string_view engineName, const TOneKey& key) {
  return progress_->AddEngineRow(ToDisplay(engineName), key.PerEngineLimit);
}

void TfmMetaSearch::ResultsMerged(TOneKey& key, int runTotal, int countAll) {
  pbDownload->setMaximum(countAll);
  pbDownload->setValue(std::clamp(runTotal, 0, std::max(countAll, 0)));
  UpdateKeyRow(key);
  lblNum->setText(QString::number(runTotal) + "  ");
  List->ResultsChanged(key);
}

void TfmMetaSearch::EnginesFinished() {
  // Not inside the event: the worker that raised it must have left before its search is freed.
  QMetaObject::invokeMethod(this, [this] { run_.TimerTick(); }, Qt::QueuedConnection);
}

void TfmMetaSearch::SearchEnded(TOneKey& key) {
  UpdateKeyRow(key);
  List->ResultsChanged(key);
  saver_.KeyChanged(key);  // after the row shows it finished, as its line in AllKey.txt will
  progress_->hide();
  const int full = std::max(pbDownload->value(), 1);  // a maximum of 0 would make the bar a busy one
  pbDownload->setMaximum(full);
  pbDownload->setValue(full);
  ShowEnginesGaveNothing(key, run_.GaveNothing());
}

void TfmMetaSearch::ShowEnginesGaveNothing(const TOneKey& key, std::string_view summary) {
  SetStatus(kEngineNotePanel, summary);
  StatusPanels[kEngineNotePanel]->setToolTip(ToDisplay(summary));
  List->SetEmptyNote(&key, ToDisplay(summary));
}

}  // namespace quorvex
