#pragma once
#include <QTreeWidget>

namespace quorvex {

class TOneKey;

// The keyword list lvKey: one row per keyword of the selected class, several selectable at once;
// its rows can be dragged onto a class of the keyword tree.
class TKeyListView : public QTreeWidget {
  Q_OBJECT
 public:
  // What a drag of keyword rows carries; the tree accepts nothing else.
  static constexpr const char* kMimeType = "application/x-quorvex-keywords";

  explicit TKeyListView(QWidget* parent = nullptr);

  static TOneKey* KeyOf(const QTreeWidgetItem* row);
  QTreeWidgetItem* RowOf(const TOneKey* key) const;
  // The records of the selected rows, in list order.
  std::vector<TOneKey*> SelectedKeys() const;

 signals:
  void EditRequested();  // Alt+Enter

 protected:
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quorvex
