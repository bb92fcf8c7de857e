// The main window's commands, their keys, menus and popup menus.
#include <QDesktopServices>
#include <QMenuBar>
#include <QStatusBar>
#include <QUrl>

#include "core/config/ProgramDirs.h"
#include "core/view/html_export.h"
#include "gui/TKeyListView.h"
#include "gui/TKeywordPanel.h"
#include "gui/TResultPanel.h"
#include "gui/TKeyTreeView.h"
#include "gui/TSearchList.h"
#include "gui/TfmAbout.h"
#include "gui/TfmMetaSearch.h"
#include "gui/TfmOption.h"
#include "gui/TfmPageProperty.h"
#include "gui/main_commands.h"

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

// An entry of menu for command under its own caption: it triggers the command and follows its state.
// key, when given, works while owner has the focus; shownKey is only shown.
QAction* Entry(QMenu* menu, QAction* command, const QString& caption, QWidget* owner = nullptr,
               const QKeySequence& key = {}, const QString& shownKey = {}) {
  QAction* entry = menu->addAction(shownKey.isEmpty() ? caption : caption + "\t" + shownKey);
  QObject::connect(entry, &QAction::triggered, command, &QAction::trigger);
  const auto follow = [entry, command] {
    entry->setVisible(command->isVisible());
    entry->setEnabled(command->isEnabled());
  };
  QObject::connect(command, &QAction::changed, entry, follow);
  follow();
  if (owner && !key.isEmpty()) {
    entry->setShortcut(key);
    entry->setShortcutContext(Qt::WidgetShortcut);
    owner->addAction(entry);
  }
  return entry;
}

void OpenInShell(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace

void TfmMetaSearch::BuildCommands() {
  TMainCommands& c = commands_;
  c.openPage = Command(this, "&Open Page", {}, [this] { List->OpenResult(false, false); });
  c.openPageInNewWindow = Command(this, "Open Page in &New Window", {}, [this] { List->OpenResult(true, false); });
  c.openLocalPage = Command(this, "Open &Local Page", {}, [this] { List->OpenResult(false, true); });
  c.openLocalPageInNewWindow = Command(this, "Open Local &Page in New Window", {}, [this] { List->OpenResult(true, true); });
  c.exit = Command(this, "E&xit", {QKeySequence(Qt::CTRL | Qt::Key_X)}, [this] { close(); });
  c.keywordsPanel = Command(this, "Keywords Panel", {QKeySequence(Qt::CTRL | Qt::Key_K)}, [this] { ToggleKeywordPanel(); });
  c.treePanel = Command(this, "Tree View Panel", {QKeySequence(Qt::CTRL | Qt::Key_T)}, [this] { ToggleTreePanel(); });
  c.statusBar = Command(this, "Status bar", {}, [] {});
  for (QAction* toggle : {c.keywordsPanel, c.treePanel, c.statusBar}) {
    toggle->setCheckable(true);
    toggle->setChecked(true);
  }
  connect(c.statusBar, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
  c.fontAndColor = Command(this, "Font && Color", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { results_->ShowAppearance(); });
  c.maximise = Command(this, "Maximise", {Qt::Key_F5}, [this] { ToggleMaximised(); });
  c.editKeyword = Command(this, "&Edit Keywords", {Qt::Key_F2}, [this] { NEditKeyClick(); });
  c.updateSearch = Command(this, "&Update Search", {}, [this] { NUpdateKeyClick(); });
  c.deleteKeywords = Command(this, "&Delete Keywords", {}, [this] { keywords_->DeleteSelectedKeys(); });
  c.verify = Command(this, "&Verify Web Page", {}, [this] { VerifyWebPage(false); });
  c.download = Command(this, "Download &Web Page", {}, [this] { VerifyWebPage(true); });
  c.stopVerify = Command(this, "Stop Verify or Download", {}, [this] { StopVerify(); });
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
  connect(btnVerify, &QToolButton::clicked, c.verify, &QAction::trigger);
  connect(btnDownload, &QToolButton::clicked, c.download, &QAction::trigger);
}

void TfmMetaSearch::BuildMenus() {
  BuildCommands();
  const TMainCommands& c = commands_;
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu("&File");
  file->addActions({c.openPage, c.openPageInNewWindow, c.openLocalPage, c.openLocalPageInNewWindow});
  file->addSeparator();
  file->addAction(c.exit);
  bar->addMenu("&View")->addActions({c.keywordsPanel, c.treePanel, c.statusBar, c.fontAndColor});
  QMenu* search = bar->addMenu("&Search");
  search->addActions({c.editKeyword, c.updateSearch, c.deleteKeywords});
  search->addSeparator();
  search->addActions({c.verify, c.download, c.stopVerify, c.showVerifyProgress});
  search->addSeparator();
  search->addAction(c.displayInBrowser);
  bar->addMenu("&Refine")->addActions({c.find, c.continueFind, c.filter});
  QMenu* option = bar->addMenu("&Option");
  option->addAction(c.copyUrl);
  option->addSeparator();
  option->addActions({c.addClass, c.editClass, c.deleteClass, c.addSubClass});
  option->addSeparator();
  option->addActions({c.learnEngine, c.engineHealth});
  option->addSeparator();
  option->addAction(c.options);
  bar->addMenu("&Help")->addActions({c.help, c.homePage, c.about});
  BuildPopupMenus();
}

void TfmMetaSearch::BuildPopupMenus() {
  const TMainCommands& c = commands_;
  auto* keyMenu = new QMenu(this);
  Entry(keyMenu, c.editKeyword, "Edit Keywords", nullptr, {}, "F2");
  keyMenu->addAction(c.updateSearch);
  Entry(keyMenu, c.deleteKeywords, "Delete Keywords", keywords_->List(), Qt::Key_Delete);
  keyMenu->addSeparator();
  Entry(keyMenu, c.verify, "Verify Web Page");
  Entry(keyMenu, c.download, "Download Web Page");
  Entry(keyMenu, c.stopVerify, "Stop Veirfy Or Download");
  Entry(keyMenu, c.showVerifyProgress, "Show Verify Or Download Progress");
  keyMenu->addSeparator();
  Entry(keyMenu, c.displayInBrowser, "Display in Browser");
  keyMenu->addAction(c.sendToFriend);
  keywords_->List()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(keywords_->List(), &QWidget::customContextMenuRequested, this,
          [this, keyMenu](const QPoint& at) { keyMenu->popup(keywords_->List()->viewport()->mapToGlobal(at)); });

  auto* treeMenu = new QMenu(this);
  Entry(treeMenu, c.editClass, "&Edit Classify", nullptr, {}, "F2");  // the tree's own key
  Entry(treeMenu, c.addClass, "Add Classify", keywords_->Tree(), Qt::Key_Insert);
  Entry(treeMenu, c.deleteClass, "Delete Classify", keywords_->Tree(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
  Entry(treeMenu, c.addSubClass, "Add Sub Classify", keywords_->Tree(), QKeySequence(Qt::CTRL | Qt::Key_Insert));
  keywords_->Tree()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(keywords_->Tree(), &QWidget::customContextMenuRequested, this,
          [this, treeMenu](const QPoint& at) { treeMenu->popup(keywords_->Tree()->viewport()->mapToGlobal(at)); });
  connect(keywords_->Tree(), &TKeyTreeView::EditRequested, c.editClass, &QAction::trigger);

  auto* resultMenu = new QMenu(this);
  Entry(resultMenu, c.openPage, "&Open");
  Entry(resultMenu, c.openPageInNewWindow, "Open in New Window", List, QKeySequence(Qt::CTRL | Qt::Key_N));
  Entry(resultMenu, c.openLocalPage, "Open &Local Page");
  Entry(resultMenu, c.openLocalPageInNewWindow, "Open Local Page in New Window");
  resultMenu->addSeparator();
  resultMenu->addAction(c.copyUrl);
  Entry(resultMenu, c.deleteResult, "&Delete This Item", List, Qt::Key_Delete);
  resultMenu->addSeparator();
  resultMenu->addActions({c.fontAndColor, c.resultProperty, c.displayInBrowser});
  List->SetPopupMenu(resultMenu);
}

}  // namespace quorvex
