#pragma once
#include <QIcon>
#include <QList>
#include <QSplitter>
#include <QStringList>

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace quorvex {

class TProgram;

// The choice of engines: the categories of Index.txt (lvType, and the category box cbType that the
// main window places in its search bar) and the engines of the chosen one (lvNowEngine), whose check
// boxes write through to Index.txt's lines.
class TEngineChoice : public QSplitter {
  Q_OBJECT
 public:
  explicit TEngineChoice(TProgram& program, QWidget* parent = nullptr);

  QComboBox* CategoryBox() const { return cbType_; }
  // Reads Index.txt afresh and shows its categories, the first one chosen.
  void Reload();
  // The chosen category's position; -1 when there is none.
  int Category() const;
  // Chooses the category at this position, in the box and the list, and shows its engines.
  void SetCategory(int category);
  QStringList CategoryTexts() const;

 signals:
  // A category of the list was double-clicked: a search of that category is asked for.
  void CategoryActivated(int category);

 private:
  void ShowEngines();
  void EngineChanged(QListWidgetItem* row);

  TProgram& program_;
  QList<QIcon> pictures_;
  QComboBox* cbType_;
  QListWidget* lvType_;
  QListWidget* lvNowEngine_;
};

}  // namespace quorvex
