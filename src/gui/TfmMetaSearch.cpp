#include "gui/TfmMetaSearch.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include "core/app/AppState.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/common/unsaved_files.h"
#include "core/sponsor/TAdvertiser.h"
#include "core/store/TOneKey.h"
#include "core/update/TDownloadEngines.h"
#include "gui/TEngineChoice.h"
#include "gui/TKeyTreeView.h"
#include "gui/TKeywordPanel.h"
#include "gui/TResultPanel.h"
#include "gui/TSearchBar.h"
#include "gui/TSearchList.h"
#include "gui/TSponsorPanel.h"
#include "gui/TStatusBar.h"
#include "gui/TWindowLayout.h"
#include "gui/TfmAbout.h"
#include "gui/TfmDownload.h"
#include "gui/TfmEngineHealth.h"
#include "gui/TfmKeyProp.h"
#include "gui/TfmLearnEngine.h"
#include "gui/TfmOption.h"
#include "gui/TfmPageProperty.h"
#include "gui/TfmProgress.h"
#include "gui/display_text.h"
#include "gui/main_menus.h"

namespace quorvex {

TfmMetaSearch::TfmMetaSearch(MainThreadDispatcher& dispatcher, AppState& app, QWidget* parent)
    : QMainWindow(parent),
      dispatcher_(dispatcher),
      app_(app),
      program_(dispatcher, app, *this, TProgramFiles::Default(), [this] { return keywords_->Tree()->Nodes(); }) {
  QFont tahoma("Tahoma");
  tahoma.setPixelSize(12);
  setFont(tahoma);
  BuildCommands();
  engines_ = new TEngineChoice(program_, this);
  keywords_ = new TKeywordPanel(program_, app_, this);
  results_ = new TResultPanel(program_, commands_, this);
  List = results_->List();
  searchBar_ = new TSearchBar(commands_, engines_->CategoryBox(), this);
  addToolBar(searchBar_);
  layout_ = new TWindowLayout(*this, *keywords_, *engines_, *results_, commands_);
  setCentralWidget(layout_);
  status_ = new TStatusBar(this);
  setStatusBar(status_);
  connect(commands_.statusBar, &QAction::toggled, status_, &QStatusBar::setVisible);
  BuildMenuBar(*menuBar(), commands_);
  BuildPopupMenus(commands_, *keywords_, *List);
  resize(657, 489);

  connect(engines_, &TEngineChoice::CategoryActivated, this, &TfmMetaSearch::SearchCategory);
  connect(keywords_, &TKeywordPanel::KeyChosen, this, [this](TOneKey* key) {
    results_->ShowKey(key);
    // In place of results the file holds but could not give.
    if (key && key->ResultsUnreadable) List->SetEmptyNote(key, ToDisplay(program_.ResultsProblem(*key)));
  });
  connect(keywords_, &TKeywordPanel::EditRequested, this, &TfmMetaSearch::EditKeyword);

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
  connect(List, &TSearchList::PropertyRequested, commands_.resultProperty, &QAction::trigger);

  // The start-up.
  setWindowState(Qt::WindowMaximized);
  engines_->Reload();
  setWindowTitle(ProgramTitle());
  UpdateCommands();
  keywords_->Load();
  layout_->Load();
  if (Options().Value("DEngines") != "1") {
    engineUpdate_ = std::make_unique<TDownloadEngines>(dispatcher_, [this] { engines_->Reload(); });
    engineUpdate_->Start();
  }
  tick_ = new QTimer(this);
  connect(tick_, &QTimer::timeout, this, &TfmMetaSearch::Tick);
  tick_->start(200);
}

TfmMetaSearch::~TfmMetaSearch() {
  engineUpdate_.reset();
  advertiser_.reset();
  // A run still going (no shut-down ran) ends while the window it reports to is whole.
  if (program_.Activity() != TActivityState::Idle) program_.Stop();
}

void TfmMetaSearch::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  // The shut-down saves everything itself; a timer tick inside its warning's event loop would retry the
  // same failed files and warn a second time.
  tick_->stop();
  advertiser_.reset();  // before the pane it shows pages in
  // The user is told once, at the end, which files were not kept.
  const UnsavedFiles unsaved = program_.ShutDown([this](UnsavedFiles& files) {
    files.Note(layout_->Current().Save(TLayoutConfig::kFileName), TLayoutConfig::kFileName);
  });
  if (!unsaved.Empty()) QMessageBox::warning(this, "Quorvex", ToDisplay(unsaved.Message()));
}

void TfmMetaSearch::closeEvent(QCloseEvent* event) {
  Shutdown();
  event->accept();
}

void TfmMetaSearch::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  layout_->ApplyPanelSizes();
}

bool TfmMetaSearch::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    status_->SetPanel(0, "Press F1 for help");
    List->setFocus();
    if (!advertiser_ && !shutDown_)
      advertiser_ = std::make_unique<TAdvertiser>(dispatcher_, *layout_->Sponsor()->Pane(), CacheDir());
  }
  return QMainWindow::event(event);
}

void TfmMetaSearch::Tick() {
  if (app_.ActivityState != TActivityState::Idle) searchBar_->Turn();
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

// --- What the running program reports.

void TfmMetaSearch::ShowActivity(std::string_view text) { status_->SetPanel(0, text); }

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

void TfmMetaSearch::VerifyStarted(TOneKey& key) {
  UpdateKeyRow(key);
  status_->SetPanel(0, StateNames[1]);
  status_->SetPanel(1, StateNames[1]);
}

void TfmMetaSearch::VerifyEnded(TOneKey& key) {
  UpdateKeyRow(key);
  download_->hide();
  status_->SetPanel(1, StateNames[3]);
}

void TfmMetaSearch::ResultsEdited(TOneKey& key) {
  UpdateKeyRow(key);
  if (&key == List->Key()) List->update();
}

void TfmMetaSearch::UpdateKeyRow(const TOneKey& key) {
  keywords_->UpdateKeyRow(key);
  if (&key == results_->Key()) results_->ShowKeyLabels(key);
}

void TfmMetaSearch::ShowEnginesGaveNothing(const TOneKey& key, std::string_view summary) {
  status_->SetEngineNote(summary);
  List->SetEmptyNote(&key, ToDisplay(summary));
}

}  // namespace quorvex
