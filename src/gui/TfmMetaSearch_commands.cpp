// The main window's commands: each made once, and what each does.
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "core/app/AppState.h"
#include "core/app/CommandStates.h"
#include "core/config/ProgramDirs.h"
#include "core/pages/TVerify.h"
#include "core/store/TOneKey.h"
#include "core/view/html_export.h"
#include "gui/TEngineChoice.h"
#include "gui/TKeywordPanel.h"
#include "gui/TResultPanel.h"
#include "gui/TSearchBar.h"
#include "gui/TSearchList.h"
#include "gui/TWindowLayout.h"
#include "gui/TfmAbout.h"
#include "gui/TfmDownload.h"
#include "gui/TfmEngineHealth.h"
#include "gui/TfmKeyProp.h"
#include "gui/TfmLearnEngine.h"
#include "gui/TfmMetaSearch.h"
#include "gui/TfmOption.h"
#include "gui/TfmPageProperty.h"
#include "gui/TfmProgress.h"
#include "gui/display_text.h"
#include "gui/panel_parts.h"

namespace quorvex {
namespace {

// A command whose keys work anywhere in the window, unless the focused control claims them: a text
// field keeps its copy, cut, select-all and undo keys, the keyword tree its F2.
template <typename Slot>
QAction* Command(QWidget* window, const QString& caption, const QList<QKeySequence>& keys, Slot slot) {
  auto* action = new QAction(caption, window);
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  window->addAction(action);
  QObject::connect(action, &QAction::triggered, window, slot);
  return action;
}

void OpenInShell(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace

void TfmMetaSearch::BuildCommands() {
  TMainCommands& c = commands_;
  c.search = Command(this, "Search", {}, [this] { Search(); });
  c.stop = Command(this, "Stop", {}, [this] { program_.Stop(); });
  c.showProgress = Command(this, "Show Progress", {}, [this] { ShowActivityWindow(); });
  c.openPage = Command(this, "&Open Page", {}, [this] { List->OpenResult(false, false); });
  c.openPageInNewWindow = Command(this, "Open Page in &New Window", {}, [this] { List->OpenResult(true, false); });
  c.openLocalPage = Command(this, "Open &Local Page", {}, [this] { List->OpenResult(false, true); });
  c.openLocalPageInNewWindow = Command(this, "Open Local &Page in New Window", {}, [this] { List->OpenResult(true, true); });
  c.exit = Command(this, "E&xit", {QKeySequence(Qt::CTRL | Qt::Key_X)}, [this] { close(); });
  // The panel commands show their panes as they are checked (TWindowLayout).
  c.keywordsPanel = Command(this, "Keywords Panel", {QKeySequence(Qt::CTRL | Qt::Key_K)}, [] {});
  c.treePanel = Command(this, "Tree View Panel", {QKeySequence(Qt::CTRL | Qt::Key_T)}, [] {});
  c.statusBar = Command(this, "Status bar", {}, [] {});
  for (QAction* toggle : {c.keywordsPanel, c.treePanel, c.statusBar}) {
    toggle->setCheckable(true);
    toggle->setChecked(true);
  }
  c.fontAndColor = Command(this, "Font && Color", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { results_->ShowAppearance(); });
  c.maximise = Command(this, "Maximise", {Qt::Key_F5}, [this] { ToggleMaximised(); });
  c.editKeyword = Command(this, "&Edit Keywords", {Qt::Key_F2}, [this] { EditKeyword(); });
  c.updateSearch = Command(this, "&Update Search", {}, [this] { UpdateKeyword(); });
  c.deleteKeywords = Command(this, "&Delete Keywords", {}, [this] { keywords_->DeleteSelectedKeys(); });
  c.verify = Command(this, "&Verify Web Page", {}, [this] { VerifyWebPage(false); });
  c.download = Command(this, "Download &Web Page", {}, [this] { VerifyWebPage(true); });
  c.stopVerify = Command(this, "Stop Verify or Download", {}, [this] { program_.StopVerify(); });
  c.showVerifyProgress = Command(this, "Show Verify or Download Progress", {}, [this] { ShowActivityWindow(); });
  c.displayInBrowser = Command(this, "Display Result in Browser", {}, [this] { results_->DisplayInBrowser(true); });
  c.sendToFriend = Command(this, "Send This Page to Friend", {}, [this] { results_->SendToFriend(); });
  c.find = Command(this, "&Search in Results", {QKeySequence(Qt::CTRL | Qt::Key_F)}, [this] { results_->SearchInResults(); });
  c.continueFind = Command(this, "&Continue Search in Results", {Qt::Key_F3, QKeySequence(Qt::CTRL | Qt::Key_L)},
                           [this] { results_->ContinueSearchInResults(); });
  c.filter = Command(this, "&Filter Results", {}, [this] { results_->ShowFilter(); });
  c.copyUrl = Command(this, "&Copy URL", {QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] { List->CopyUrl(); });
  c.addClass = Command(this, "&Add Keywords Classify ", {}, [this] { keywords_->AddClass(false); });
  c.editClass = Command(this, "&Edit Keywords Classify", {}, [this] { keywords_->EditClass(); });
  c.deleteClass = Command(this, "&Delete Keywords Classify", {}, [this] { keywords_->DeleteClass(); });
  c.addSubClass = Command(this, "Add &Sub Keywords Classify", {}, [this] { keywords_->AddClass(true); });
  c.learnEngine = Command(this, "&Learn Engine from Page...", {}, [this] { LearnEngine(); });
  c.engineHealth = Command(this, "Engine &Health", {}, [this] { ShowEngineHealth(); });
  c.options = Command(this, "&Property", {QKeySequence(Qt::CTRL | Qt::Key_P)}, [this] { option_->Execute(); });
  c.help = Command(this, "&Help", {Qt::Key_F1},
                   [] { OpenInShell(QUrl::fromLocalFile(QString::fromStdString(ProgramDir() + "help.html"))); });
  c.homePage = Command(this, "&Home page ", {QKeySequence(Qt::CTRL | Qt::Key_H)}, [] { OpenInShell(QUrl(kHomePageAddress)); });
  c.about = Command(this, "&About", {QKeySequence(Qt::CTRL | Qt::Key_A)}, [this] { about_->exec(); });
  c.deleteResult = Command(this, "&Delete This Item", {}, [this] { List->DeleteSelected(); });
  c.resultProperty = Command(this, "&Property", {}, [this] { pageProperty_->ShowPageProperty(List->CurrentResult()); });

  // The pictures of the commands that buttons offer, and the hints that say more than their captions.
  SetPicture(c.search, QStyle::SP_FileDialogContentsView);
  SetPicture(c.stop, QStyle::SP_BrowserStop);
  SetPicture(c.showProgress, QStyle::SP_FileDialogDetailedView);
  SetPicture(c.verify, QStyle::SP_DialogApplyButton);
  SetPicture(c.download, QStyle::SP_ArrowDown);
  SetPicture(c.fontAndColor, QStyle::SP_DesktopIcon);
  SetPicture(c.find, QStyle::SP_FileDialogContentsView);
  SetPicture(c.filter, QStyle::SP_FileDialogListView);
  SetPicture(c.keywordsPanel, QStyle::SP_FileDialogListView);
  SetPicture(c.treePanel, QStyle::SP_DirIcon);
  c.fontAndColor->setToolTip("Appearance");
  c.find->setToolTip("Search in result");
  c.filter->setToolTip("Filter in results");
  c.keywordsPanel->setToolTip("Ctrl - K Show Or Hide the Keywords window");
  c.treePanel->setToolTip("Ctrl  - T Show Or Hide TreeView window");
}

void TfmMetaSearch::UpdateCommands() {
  const TMainCommands& c = commands_;
  const TCommandStates states = CommandStatesFor(app_.ActivityState);
  for (QAction* command : {c.updateSearchEntry, c.verify, c.download}) command->setVisible(states.VerifyCommandsShown);
  for (QAction* command : {c.search, c.verify, c.download}) command->setEnabled(states.StartControlsEnabled);
  searchBar_->SetKeywordEnabled(states.StartControlsEnabled);
  keyProp_->SetStartEnabled(states.StartControlsEnabled);
  c.showProgress->setVisible(states.ShowProgressShown);
  c.stop->setEnabled(states.StopEnabled);
  for (QAction* command : {c.stopVerify, c.showVerifyProgress}) command->setVisible(states.StopVerifyCommandsShown);
}

void TfmMetaSearch::Search() {
  TSearchRequest request;
  request.Keyword = FromTyped(searchBar_->Keyword());
  request.MatchMode = searchBar_->MatchMode();
  request.Category = engines_->Category();
  request.Classify = keywords_->CurrentClass();
  if (program_.StartSearch(request, layout_->Limits())) List->setFocus();
}

void TfmMetaSearch::StartUpdateSearch() {
  TOneKey* key = keywords_->CurrentKey();
  if (!key || !ResultsReadable(*key)) return;
  if (program_.StartUpdateSearch(*key, engines_->Category(), layout_->Limits())) List->setFocus();
}

void TfmMetaSearch::EditKeyword() {
  TOneKey* key = keywords_->CurrentKey(true);
  if (!key) return;
  const QString keyword = ToDisplay(key->Keyword);
  KeyPropSearch(keyProp_->Execute(engines_->CategoryTexts(), key->Category, key->MatchMode, &keyword));
}

void TfmMetaSearch::UpdateKeyword() {
  TOneKey* key = keywords_->CurrentKey(true);
  if (!key) {
    QMessageBox::warning(this, "Worning", "Please select a key to update!");
    return;
  }
  searchBar_->SetKeyword(ToDisplay(key->Keyword));
  StartUpdateSearch();
}

void TfmMetaSearch::SearchCategory(int category) {
  KeyPropSearch(keyProp_->Execute(engines_->CategoryTexts(), category, searchBar_->MatchMode()));
}

void TfmMetaSearch::KeyPropSearch(int action) {
  if (action == TfmKeyProp::Closed) return;
  const bool update = action == TfmKeyProp::UpdateSearch;
  engines_->SetCategory(keyProp_->Category());
  searchBar_->SetKeyword(keyProp_->Keyword());
  if (!update) layout_->SetLimits(keyProp_->Limits());
  searchBar_->SetMatchMode(keyProp_->MatchMode());
  if (update) {
    StartUpdateSearch();
  } else {
    Search();
  }
}

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

void TfmMetaSearch::ShowActivityWindow() {
  if (app_.ActivityState == TActivityState::Verifying) download_->show();
  if (app_.ActivityState == TActivityState::Searching) progress_->show();
}

void TfmMetaSearch::ToggleMaximised() {
  if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) {
    showNormal();
  } else {
    showMaximized();
  }
}

void TfmMetaSearch::LearnEngine(const QString& page, const QString& name) {
  if (!learn_->Execute(page, name, program_.CategoryName(engines_->Category()).value_or(""))) return;
  const int category = engines_->Category();
  engines_->Reload();
  engines_->SetCategory(category);
}

void TfmMetaSearch::ShowEngineHealth() {
  if (const std::optional<std::string> category = program_.CategoryName(engines_->Category()))
    health_->Execute(program_.Index(), *category, app_.KeyList);
}

}  // namespace quorvex
