// Menus, popup menus and the window's global keys.
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>
#include <QTextEdit>
#include <QUrl>
#include <QUrlQuery>
#include <cerrno>

#include "core/config/ProgramDirs.h"
#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "core/view/html_export.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TSearchList.h"
#include "gui/TfmAbout.h"
#include "gui/TfmAppearance.h"
#include "gui/TfmFilter.h"
#include "gui/TfmFind.h"
#include "gui/TfmMetaSearch.h"
#include "gui/TfmOption.h"
#include "gui/TfmPageProperty.h"
#include "gui/display_text.h"

namespace quorvex {
namespace {

// A menu-bar item whose keys are only shown: the window's global keys do the work.
template <typename Slot>
QAction* Item(QMenu* menu, const QString& caption, const QString& keys, Slot slot) {
  QAction* action = menu->addAction(keys.isEmpty() ? caption : caption + "\t" + keys);
  QObject::connect(action, &QAction::triggered, menu, slot);
  return action;
}

// A popup item whose key acts while the focus is in the control that owns the popup.
template <typename Slot>
QAction* PopupItem(QMenu* menu, QWidget* owner, const QString& caption, const QKeySequence& keys, Slot slot) {
  QAction* action = menu->addAction(caption);
  QObject::connect(action, &QAction::triggered, menu, slot);
  if (!keys.isEmpty()) {
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    owner->addAction(action);
  }
  return action;
}

bool IsTextField(const QWidget* widget) {
  return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget);
}

void OpenInShell(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace

void TfmMetaSearch::BuildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu("&File");
  Item(file, "&Open Page", "", [this] { List->OpenResult(false, false); });
  Item(file, "Open Page in &New Window", "", [this] { List->OpenResult(true, false); });
  Item(file, "Open &Local Page", "", [this] { List->OpenResult(false, true); });
  Item(file, "Open Local &Page in New Window", "", [this] { List->OpenResult(true, true); });
  file->addSeparator();
  Item(file, "E&xit", "Ctrl+X", [this] { close(); });

  QMenu* view = bar->addMenu("&View");
  NKeywordsPanel_ = Item(view, "Keywords Panel", "Ctrl+K", [this] { ToggleKeywordPanel(); });
  NTreePanel_ = Item(view, "Tree View Panel", "Ctrl+T", [this] { ToggleTreePanel(); });
  QAction* statusBarItem = Item(view, "Status bar", "", [] {});
  for (QAction* toggle : {NKeywordsPanel_, NTreePanel_, statusBarItem}) {
    toggle->setCheckable(true);
    toggle->setChecked(true);
  }
  connect(statusBarItem, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
  Item(view, "Font && Color", "Ctrl+Z", [this] { ShowAppearance(); });

  QMenu* search = bar->addMenu("&Search");
  Item(search, "&Edit Keywords", "F2", [this] { NEditKeyClick(); });
  verifyCommands_.append(Item(search, "&Update Search", "", [this] { NUpdateKeyClick(); }));
  Item(search, "&Delete Keywords", "", [this] { NDelKeyClick(); });
  search->addSeparator();
  verifyCommands_.append(Item(search, "&Verify Web Page", "", [this] { VerifyWebPage(false); }));
  verifyCommands_.append(Item(search, "Download &Web Page", "", [this] { VerifyWebPage(true); }));
  stopVerifyCommands_.append(Item(search, "Stop Verify or Download", "", [this] { StopVerify(); }));
  stopVerifyCommands_.append(Item(search, "Show Verify or Download Progress", "", [this] { ShowActivityWindow(); }));
  search->addSeparator();
  Item(search, "Display Result in Browser", "", [this] { DisplayResultInBrowser(true); });

  QMenu* refine = bar->addMenu("&Refine");
  Item(refine, "&Search in Results", "Ctrl+F", [this] { SearchInResults(); });
  Item(refine, "&Continue Search in Results", "F3", [this] { ContinueSearchInResults(); });
  Item(refine, "&Filter Results", "", [this] { ShowFilter(); });

  QMenu* option = bar->addMenu("&Option");
  Item(option, "&Copy URL", "Ctrl+C", [this] { List->CopyUrl(); });
  option->addSeparator();
  Item(option, "&Add Keywords Classify ", "", [this] { AddClass(false); });
  Item(option, "&Edit Keywords Classify", "", [this] { EditClass(); });
  Item(option, "&Delete Keywords Classify", "", [this] { DeleteClass(); });
  Item(option, "Add &Sub Keywords Classify", "", [this] { AddClass(true); });
  option->addSeparator();
  Item(option, "&Learn Engine from Page...", "", [this] { LearnEngine(); });
  Item(option, "Engine &Health", "", [this] { ShowEngineHealth(); });
  option->addSeparator();
  Item(option, "&Property", "Ctrl+P", [this] { option_->Execute(); });

  QMenu* help = bar->addMenu("&Help");
  Item(help, "&Help", "F1", [] { OpenInShell(QUrl::fromLocalFile(QString::fromStdString(ProgramDir() + "help.html"))); });
  Item(help, "&Home page ", "Ctrl+H", [] { OpenInShell(QUrl(kHomePageAddress)); });
  Item(help, "&About", "Ctrl+A", [this] { about_->exec(); });
  BuildPopupMenus();
}

void TfmMetaSearch::BuildPopupMenus() {
  pmKey_ = new QMenu(this);
  PopupItem(pmKey_, lvKey, "Edit Keywords", Qt::Key_F2, [this] { NEditKeyClick(); });
  verifyCommands_.append(PopupItem(pmKey_, lvKey, "&Update Search", {}, [this] { NUpdateKeyClick(); }));
  PopupItem(pmKey_, lvKey, "Delete Keywords", Qt::Key_Delete, [this] { NDelKeyClick(); });
  pmKey_->addSeparator();
  verifyCommands_.append(PopupItem(pmKey_, lvKey, "Verify Web Page", {}, [this] { VerifyWebPage(false); }));
  verifyCommands_.append(PopupItem(pmKey_, lvKey, "Download Web Page", {}, [this] { VerifyWebPage(true); }));
  stopVerifyCommands_.append(PopupItem(pmKey_, lvKey, "Stop Veirfy Or Download", {}, [this] { StopVerify(); }));
  stopVerifyCommands_.append(
      PopupItem(pmKey_, lvKey, "Show Verify Or Download Progress", {}, [this] { ShowActivityWindow(); }));
  pmKey_->addSeparator();
  PopupItem(pmKey_, lvKey, "Display in Browser", {}, [this] { DisplayResultInBrowser(true); });
  PopupItem(pmKey_, lvKey, "Send This Page to Friend", {}, [this] { SendPageToFriend(); });
  lvKey->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(lvKey, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    UpdateCommands();
    pmKey_->popup(lvKey->viewport()->mapToGlobal(at));
  });

  pmTree_ = new QMenu(this);
  PopupItem(pmTree_, tvKey, "&Edit Classify", Qt::Key_F2, [this] { EditClass(); });
  PopupItem(pmTree_, tvKey, "Add Classify", Qt::Key_Insert, [this] { AddClass(false); });
  PopupItem(pmTree_, tvKey, "Delete Classify", QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { DeleteClass(); });
  PopupItem(pmTree_, tvKey, "Add Sub Classify", QKeySequence(Qt::CTRL | Qt::Key_Insert), [this] { AddClass(true); });
  tvKey->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tvKey, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pmTree_->popup(tvKey->viewport()->mapToGlobal(at)); });

  pmURL_ = new QMenu(this);
  PopupItem(pmURL_, List, "&Open", {}, [this] { List->OpenResult(false, false); });
  PopupItem(pmURL_, List, "Open in New Window", QKeySequence(Qt::CTRL | Qt::Key_N),
            [this] { List->OpenResult(true, false); });
  PopupItem(pmURL_, List, "Open &Local Page", {}, [this] { List->OpenResult(false, true); });
  PopupItem(pmURL_, List, "Open Local Page in New Window", {}, [this] { List->OpenResult(true, true); });
  pmURL_->addSeparator();
  // Ctrl+C and Ctrl+Z are global keys already; here they are only shown.
  Item(pmURL_, "&Copy URL", "Ctrl+C", [this] { List->CopyUrl(); });
  PopupItem(pmURL_, List, "&Delete This Item", Qt::Key_Delete, [this] { List->DeleteSelected(); });
  pmURL_->addSeparator();
  Item(pmURL_, "Font && Color", "Ctrl+Z", [this] { ShowAppearance(); });
  PopupItem(pmURL_, List, "&Property", {}, [this] { pageProperty_->ShowPageProperty(List->CurrentResult()); });
  PopupItem(pmURL_, List, "Display Result in Browser", {}, [this] { DisplayResultInBrowser(true); });
  List->SetPopupMenu(pmURL_);
}

bool TfmMetaSearch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  // Only keys meant for this window, and only once (the event climbs through the focus's parents).
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
  if (!widget || widget->window() != this || widget != target) return false;
  return HandleGlobalKey(static_cast<QKeyEvent*>(event));
}

bool TfmMetaSearch::HandleGlobalKey(QKeyEvent* event) {
  const QKeyCombination combination = event->keyCombination();
  const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers() & ~Qt::KeypadModifier;
  const int key = combination.key();
  if (modifiers == Qt::NoModifier) {
    switch (key) {
      case Qt::Key_F5: ToggleMaximised(); return true;
      case Qt::Key_F3: ContinueSearchInResults(); return true;
      case Qt::Key_F2: NEditKeyClick(); return true;
      case Qt::Key_F1: OpenInShell(QUrl::fromLocalFile(QString::fromStdString(ProgramDir() + "help.html"))); return true;
      default: return false;
    }
  }
  if (modifiers != Qt::ControlModifier) return false;
  // Copy, cut, select-all and undo belong to a text field that has the focus.
  const bool textKey = key == Qt::Key_C || key == Qt::Key_X || key == Qt::Key_A || key == Qt::Key_Z;
  if (textKey && IsTextField(QApplication::focusWidget())) return false;
  switch (key) {
    case Qt::Key_L: ContinueSearchInResults(); return true;
    case Qt::Key_F: SearchInResults(); return true;
    case Qt::Key_T: ToggleTreePanel(); return true;
    case Qt::Key_K: ToggleKeywordPanel(); return true;
    case Qt::Key_P: option_->Execute(); return true;
    case Qt::Key_Z: ShowAppearance(); return true;
    case Qt::Key_H: OpenInShell(QUrl(kHomePageAddress)); return true;
    case Qt::Key_A: about_->exec(); return true;
    case Qt::Key_X: close(); return true;
    case Qt::Key_C: List->CopyUrl(); return true;
    default: return false;
  }
}

void TfmMetaSearch::SearchInResults() {
  if (find_->exec() != QDialog::Accepted) return;
  // A ticked "Case sensitive" box makes the search exact.
  List->FindText(find_->Text(), find_->FromTop(), !find_->CaseSensitive());
}

void TfmMetaSearch::ContinueSearchInResults() {
  if (!find_->Text().empty() && List->FindText(find_->Text(), false, !find_->CaseSensitive())) return;
  SearchInResults();
}

bool TfmMetaSearch::DisplayResultInBrowser(bool open) {
  const std::filesystem::path file = std::filesystem::path(LocalFileDir()) / kExportFileName;
  std::string problem;
  if (List->Key() == nullptr) {
    problem = file.string() + " was not written: no keyword is shown.";
  } else if (!List->WriteExport(file)) {
    problem = NotWrittenMessage(file, errno);
  }
  // An older Key.html, perhaps of another keyword, must not be shown or sent in its place.
  if (!problem.empty()) {
    QMessageBox::warning(this, "Quorvex", ToDisplay(problem));
    return false;
  }
  if (open) OpenInShell(QUrl::fromLocalFile(QString::fromStdString(file.string())));
  return true;
}

void TfmMetaSearch::SendPageToFriend() {
  if (!DisplayResultInBrowser(false)) return;
  const QString file = QString::fromStdString((std::filesystem::path(LocalFileDir()) / kExportFileName).string());
  const QString subject = ToDisplay(List->Key()->Keyword);
  // xdg-email hands the page to the user's mail program as an attachment; without it, a mail with a
  // link to the page is the most a mailto address can carry.
  if (QProcess::startDetached("xdg-email", {"--subject", subject, "--attach", file})) return;
  QUrlQuery query;
  query.addQueryItem("subject", subject);
  query.addQueryItem("body", QUrl::fromLocalFile(file).toString());
  QUrl mail("mailto:");
  mail.setQuery(query);
  OpenInShell(mail);
}

void TfmMetaSearch::ShowAppearance() { appearance_->Execute(*List); }

void TfmMetaSearch::ShowFilter() {
  if (filter_->Edit(List->Filter())) List->update();
}

}  // namespace quorvex
