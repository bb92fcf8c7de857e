#include "gui/TKeyTreeView.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <functional>

#include "gui/TKeyListView.h"
#include "gui/display_text.h"
#include "gui/pictures.h"

namespace quorvex {
namespace {
constexpr int kBytesRole = Qt::UserRole;
}

TKeyTreeView::TKeyTreeView(QWidget* parent) : QTreeWidget(parent), pictures_(KeyTreePictures()) {
  setHeaderHidden(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  SetRenamable(true);
  connect(this, &QTreeWidget::itemChanged, this, &TKeyTreeView::NodeRenamed);
}

QTreeWidgetItem* TKeyTreeView::NewNode(QTreeWidgetItem* parent, const std::string& text, int picture) {
  auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
  const QSignalBlocker quiet(this);
  node->setFlags(node->flags() | Qt::ItemIsEditable);
  node->setData(0, kBytesRole, QByteArray::fromStdString(text));
  node->setText(0, ToDisplay(text));
  node->setIcon(0, pictures_.value(picture));
  return node;
}

void TKeyTreeView::SetNodes(const std::vector<TKeyTreeNode>& nodes) {
  clear();
  std::vector<QTreeWidgetItem*> made;
  made.reserve(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    QTreeWidgetItem* parent = nodes[i].Parent >= 0 ? made[static_cast<size_t>(nodes[i].Parent)] : nullptr;
    made.push_back(NewNode(parent, nodes[i].Text, NodePicture(i, nodes.size())));
  }
  expandAll();
}

std::vector<QTreeWidgetItem*> TKeyTreeView::AllNodes() const {
  std::vector<QTreeWidgetItem*> all;
  const std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* node) {
    all.push_back(node);
    for (int i = 0; i < node->childCount(); ++i) walk(node->child(i));
  };
  for (int i = 0; i < topLevelItemCount(); ++i) walk(topLevelItem(i));
  return all;
}

std::vector<TKeyTreeNode> TKeyTreeView::Nodes() const {
  const std::vector<QTreeWidgetItem*> all = AllNodes();
  std::vector<TKeyTreeNode> nodes;
  for (QTreeWidgetItem* node : all) {
    TKeyTreeNode entry;
    entry.Text = TextOf(node);
    if (QTreeWidgetItem* parent = node->parent()) {
      entry.Parent = PositionOf(parent);
      entry.Level = nodes[static_cast<size_t>(entry.Parent)].Level + 1;
    }
    nodes.push_back(std::move(entry));
  }
  return nodes;
}

std::string TKeyTreeView::TextOf(const QTreeWidgetItem* node) {
  return node ? node->data(0, kBytesRole).toByteArray().toStdString() : std::string();
}

int TKeyTreeView::PositionOf(const QTreeWidgetItem* node) const {
  const std::vector<QTreeWidgetItem*> all = AllNodes();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i] == node) return static_cast<int>(i);
  return -1;
}

QTreeWidgetItem* TKeyTreeView::NodeAt(int position) const {
  const std::vector<QTreeWidgetItem*> all = AllNodes();
  return position >= 0 && static_cast<size_t>(position) < all.size() ? all[static_cast<size_t>(position)] : nullptr;
}

void TKeyTreeView::SetRenamable(bool renamable) {
  setEditTriggers(renamable ? QAbstractItemView::EditKeyPressed : QAbstractItemView::NoEditTriggers);
}

int TKeyTreeView::NodeCount() const { return static_cast<int>(AllNodes().size()); }

QTreeWidgetItem* TKeyTreeView::AddClass(QTreeWidgetItem* node, bool asChild) {
  // On an empty tree (no node) the class goes to the top level.
  QTreeWidgetItem* parent = node == nullptr ? nullptr : asChild ? node : node->parent();
  QTreeWidgetItem* added = NewNode(parent, kNewClassText, asChild ? kAddedSubClassPicture : kAddedClassPicture);
  if (parent) parent->setExpanded(true);
  setCurrentItem(added);
  editItem(added);
  return added;
}

// An edited node keeps the bytes it had unless its text really changed, so that a class name in any
// encoding survives being looked at in the editor.
void TKeyTreeView::NodeRenamed(QTreeWidgetItem* node) {
  if (node->text(0) == ToDisplay(TextOf(node))) return;
  const QSignalBlocker quiet(this);
  node->setData(0, kBytesRole, QByteArray::fromStdString(FromTyped(node->text(0))));
}

void TKeyTreeView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasFormat(TKeyListView::kMimeType)) {
    event->acceptProposedAction();
    return;
  }
  event->ignore();
}

void TKeyTreeView::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasFormat(TKeyListView::kMimeType)) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return;
  }
  event->ignore();
}

void TKeyTreeView::dropEvent(QDropEvent* event) {
  QTreeWidgetItem* node = itemAt(event->position().toPoint());
  if (!event->mimeData()->hasFormat(TKeyListView::kMimeType) || !node) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit KeywordsDropped(node);
}

namespace {
bool IsEditKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_F2 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}
}  // namespace

bool TKeyTreeView::event(QEvent* event) {
  // Claimed before the window's shortcuts see it, as a text field claims its copy key.
  if (event->type() == QEvent::ShortcutOverride && IsEditKey(static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QTreeWidget::event(event);
}

void TKeyTreeView::keyPressEvent(QKeyEvent* event) {
  if (IsEditKey(event)) {
    emit EditRequested();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

}  // namespace quorvex
