#pragma once
#include <QTreeWidget>
#include <string>
#include <vector>

#include "core/store/KeyTree.h"

namespace quorvex {

// The keyword tree tvKey: the user's classes, renamed in place, with keyword rows dropped onto them.
// Each node keeps its text as the bytes the core uses.
class TKeyTreeView : public QTreeWidget {
  Q_OBJECT
 public:
  explicit TKeyTreeView(QWidget* parent = nullptr);

  // Replaces the tree by nodes, assigns the pictures of a load and expands every node.
  void SetNodes(const std::vector<TKeyTreeNode>& nodes);
  std::vector<TKeyTreeNode> Nodes() const;

  static std::string TextOf(const QTreeWidgetItem* node);
  // Position counted over all nodes from the top (parents before children); -1 for none.
  int PositionOf(const QTreeWidgetItem* node) const;
  QTreeWidgetItem* NodeAt(int position) const;
  int NodeCount() const;

  // Whether the edit key renames the current node in place.
  void SetRenamable(bool renamable);
  // A "New Classify" node as the last sibling or the last child of node (a top-level one when node is
  // nullptr), being edited.
  QTreeWidgetItem* AddClass(QTreeWidgetItem* node, bool asChild);

 signals:
  // Keyword rows were dropped on node.
  void KeywordsDropped(QTreeWidgetItem* node);
  // F2: the tree's key for renaming its class, before the window's F2 for the keyword.
  void EditRequested();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTreeWidgetItem* NewNode(QTreeWidgetItem* parent, const std::string& text, int picture);
  void NodeRenamed(QTreeWidgetItem* node);
  std::vector<QTreeWidgetItem*> AllNodes() const;

  QList<QIcon> pictures_;
};

}  // namespace quorvex
