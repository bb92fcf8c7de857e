#pragma once
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class QTreeWidgetItem;

namespace quorvex {

struct AppState;
class TKeyListView;
class TKeyTreeView;
class TOneKey;
class TProgram;
class TVLabel;

// The user's kept keywords: the keyword list (this widget, with its class caption) and the keyword
// tree of classes (Tree(), placed by the main window in its left panel). Every change of the kept
// keywords and classes goes through the program, so that it is saved.
class TKeywordPanel : public QWidget {
  Q_OBJECT
 public:
  TKeywordPanel(TProgram& program, AppState& app, QWidget* parent = nullptr);

  TKeyTreeView* Tree() const { return tvKey_; }
  TKeyListView* List() const { return lvKey_; }

  // Start-up: KeyTree.txt into the tree and AllKey.txt into the list. A file not read whole is told and
  // kept as it is on disk.
  void Load();
  // The node at this tree position becomes current and its keywords are listed; then the row at this
  // list position, as the layout keeps them.
  void SelectClass(int position);
  void SelectRow(int row);
  // The positions of the selected node and row, none when nothing is selected.
  std::optional<int> SelectedNode() const;
  std::optional<int> SelectedRow() const;

  // The keyword of the current row; with selected, only when that row is selected too.
  TOneKey* CurrentKey(bool selected = false) const;
  // The text of the current class; empty when no class is current.
  std::string CurrentClass() const;
  // A new search made key: its row is added and becomes the only selected one.
  void AddKey(TOneKey& key);
  // The columns of key's row follow its record.
  void UpdateKeyRow(const TOneKey& key);

  // The commands of the list and the tree.
  void DeleteSelectedKeys();
  void EditClass();
  void AddClass(bool asChild);
  void DeleteClass();

 signals:
  // The current row changed: key (none without a row) is the keyword to show, its results loaded.
  void KeyChosen(TOneKey* key);
  // The current row asks to be edited (double click, Alt+Enter).
  void EditRequested();

 private:
  // Asks before the first change of a tree whose file was not read whole; false when the user declines.
  bool TreeMayChange();
  void ClassChanged();
  void FillKeyList(const std::optional<std::string>& classify);
  void KeyRowChanged();
  void KeywordsDropped(QTreeWidgetItem* node);

  TProgram& program_;
  AppState& app_;
  TKeyTreeView* tvKey_;
  TVLabel* lblNowKey_;
  TKeyListView* lvKey_;
};

}  // namespace quorvex
