#include "gui/main_menus.h"

#include <QMenu>
#include <QMenuBar>

#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TKeywordPanel.h"
#include "gui/TSearchList.h"
#include "gui/main_commands.h"

namespace quorvex {
namespace {

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

// menu pops up over view's items where view asks for its context menu.
void PopUpOver(QAbstractItemView* view, QMenu* menu) {
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(view, &QWidget::customContextMenuRequested, menu,
                   [view, menu](const QPoint& at) { menu->popup(view->viewport()->mapToGlobal(at)); });
}

}  // namespace

void BuildMenuBar(QMenuBar& bar, const TMainCommands& c) {
  QMenu* file = bar.addMenu("&File");
  file->addActions({c.openPage, c.openPageInNewWindow, c.openLocalPage, c.openLocalPageInNewWindow});
  file->addSeparator();
  file->addAction(c.exit);
  bar.addMenu("&View")->addActions({c.keywordsPanel, c.treePanel, c.statusBar, c.fontAndColor});
  QMenu* search = bar.addMenu("&Search");
  search->addActions({c.editKeyword, c.updateSearch, c.deleteKeywords});
  search->addSeparator();
  search->addActions({c.verify, c.download, c.stopVerify, c.showVerifyProgress});
  search->addSeparator();
  search->addAction(c.displayInBrowser);
  bar.addMenu("&Refine")->addActions({c.find, c.continueFind, c.filter});
  QMenu* option = bar.addMenu("&Option");
  option->addAction(c.copyUrl);
  option->addSeparator();
  option->addActions({c.addClass, c.editClass, c.deleteClass, c.addSubClass});
  option->addSeparator();
  option->addActions({c.learnEngine, c.engineHealth});
  option->addSeparator();
  option->addAction(c.options);
  bar.addMenu("&Help")->addActions({c.help, c.homePage, c.about});
}

void BuildPopupMenus(TMainCommands& c, TKeywordPanel& keywords, TSearchList& results) {
  auto* keyMenu = new QMenu(&keywords);
  Entry(keyMenu, c.editKeyword, "Edit Keywords", nullptr, {}, "F2");
  c.updateSearchEntry = keyMenu->addAction(c.updateSearch->text());
  QObject::connect(c.updateSearchEntry, &QAction::triggered, c.updateSearch, &QAction::trigger);
  Entry(keyMenu, c.deleteKeywords, "Delete Keywords", keywords.List(), Qt::Key_Delete);
  keyMenu->addSeparator();
  Entry(keyMenu, c.verify, "Verify Web Page");
  Entry(keyMenu, c.download, "Download Web Page");
  Entry(keyMenu, c.stopVerify, "Stop Veirfy Or Download");
  Entry(keyMenu, c.showVerifyProgress, "Show Verify Or Download Progress");
  keyMenu->addSeparator();
  Entry(keyMenu, c.displayInBrowser, "Display in Browser");
  keyMenu->addAction(c.sendToFriend);
  PopUpOver(keywords.List(), keyMenu);

  TKeyTreeView* tree = keywords.Tree();
  auto* treeMenu = new QMenu(tree);
  Entry(treeMenu, c.editClass, "&Edit Classify", nullptr, {}, "F2");  // the tree's own key
  Entry(treeMenu, c.addClass, "Add Classify", tree, Qt::Key_Insert);
  Entry(treeMenu, c.deleteClass, "Delete Classify", tree, QKeySequence(Qt::CTRL | Qt::Key_Delete));
  Entry(treeMenu, c.addSubClass, "Add Sub Classify", tree, QKeySequence(Qt::CTRL | Qt::Key_Insert));
  PopUpOver(tree, treeMenu);
  QObject::connect(tree, &TKeyTreeView::EditRequested, c.editClass, &QAction::trigger);

  auto* resultMenu = new QMenu(&results);
  Entry(resultMenu, c.openPage, "&Open");
  Entry(resultMenu, c.openPageInNewWindow, "Open in New Window", &results, QKeySequence(Qt::CTRL | Qt::Key_N));
  Entry(resultMenu, c.openLocalPage, "Open &Local Page");
  Entry(resultMenu, c.openLocalPageInNewWindow, "Open Local Page in New Window");
  resultMenu->addSeparator();
  resultMenu->addAction(c.copyUrl);
  Entry(resultMenu, c.deleteResult, "&Delete This Item", &results, Qt::Key_Delete);
  resultMenu->addSeparator();
  resultMenu->addActions({c.fontAndColor, c.resultProperty, c.displayInBrowser});
  results.SetPopupMenu(resultMenu);
}

}  // namespace quorvex
