#include "gui/TKeyListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

namespace quorvex {

TKeyListView::TKeyListView(QWidget* parent) : QTreeWidget(parent) {
  setHeaderLabels({"KeyWords", "Search Type", "Date", "Count", "Classify", "Status"});
  const int widths[] = {120, 93, 130, 58, 120, 90};
  for (int i = 0; i < 6; ++i) header()->resizeSection(i, widths[i]);
  setRootIsDecorated(false);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setDefaultDropAction(Qt::CopyAction);
}

TOneKey* TKeyListView::KeyOf(const QTreeWidgetItem* row) {
  return row ? static_cast<TOneKey*>(row->data(0, Qt::UserRole).value<void*>()) : nullptr;
}

QTreeWidgetItem* TKeyListView::RowOf(const TOneKey* key) const {
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (KeyOf(topLevelItem(i)) == key) return topLevelItem(i);
  return nullptr;
}

std::vector<TOneKey*> TKeyListView::SelectedKeys() const {
  std::vector<TOneKey*> keys;
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (topLevelItem(i)->isSelected()) keys.push_back(KeyOf(topLevelItem(i)));
  return keys;
}

QStringList TKeyListView::mimeTypes() const { return {kMimeType}; }

QMimeData* TKeyListView::mimeData(const QList<QTreeWidgetItem*>& items) const {
  auto* data = new QMimeData;
  data->setData(kMimeType, QByteArray::number(items.size()));
  return data;
}

void TKeyListView::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && event->modifiers() == Qt::AltModifier) {
    emit EditRequested();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

}  // namespace quorvex
