#include "gui/TKeywordPanel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMessageBox>
#include <algorithm>

#include "core/app/AppState.h"
#include "core/app/key_row.h"
#include "core/program/TProgram.h"
#include "core/store/KeyTree.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TVLabel.h"
#include "gui/display_text.h"

namespace quorvex {
namespace {

constexpr const char* kWarning = "Worning";

bool Confirmed(QWidget* parent, const char* question) {
  return QMessageBox::question(parent, kWarning, question, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void SetRowTexts(QTreeWidgetItem* row, const std::array<std::string, 6>& texts) {
  for (int column = 0; column < 6; ++column) row->setText(column, ToDisplay(texts[static_cast<size_t>(column)]));
}

}  // namespace

TKeywordPanel::TKeywordPanel(TProgram& program, AppState& app, QWidget* parent)
    : QWidget(parent),
      program_(program),
      app_(app),
      tvKey_(new TKeyTreeView(this)),
      lblNowKey_(new TVLabel("Now Classify", QColor(255, 255, 128), this)),
      lvKey_(new TKeyListView(this)) {
  setObjectName("pnKeyWord");
  tvKey_->setObjectName("tvKey");
  lvKey_->setObjectName("lvKey");
  lblNowKey_->setObjectName("lblNowKey");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  lblNowKey_->setFixedWidth(14);
  layout->addWidget(lblNowKey_);
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::VLine);
  line->setFrameShadow(QFrame::Sunken);
  layout->addWidget(line);
  layout->addWidget(lvKey_, 1);
  setMinimumHeight(80);

  connect(tvKey_, &QTreeWidget::currentItemChanged, this, &TKeywordPanel::ClassChanged);
  connect(tvKey_, &TKeyTreeView::KeywordsDropped, this, &TKeywordPanel::KeywordsDropped);
  connect(tvKey_, &QTreeWidget::itemChanged, this, [this] { program_.TreeEdited(); });  // a class renamed
  connect(lvKey_, &QTreeWidget::currentItemChanged, this, &TKeywordPanel::KeyRowChanged);
  connect(lvKey_, &QTreeWidget::itemDoubleClicked, this, &TKeywordPanel::EditRequested);
  connect(lvKey_, &TKeyListView::EditRequested, this, &TKeywordPanel::EditRequested);
}

void TKeywordPanel::Load() {
  const TProgram::TreeLoad tree = program_.LoadKeyTree();
  tvKey_->SetNodes(tree.nodes);
  if (!tree.problem.empty()) {
    tvKey_->SetRenamable(false);  // until the user agrees to lose the classes not read
    QMessageBox::critical(this, "Quorvex", ToDisplay(tree.problem));
  }
  const std::string problem = program_.LoadKeywords();
  if (!problem.empty()) QMessageBox::critical(this, "Quorvex", ToDisplay(problem));
  FillKeyList(std::nullopt);
}

void TKeywordPanel::SelectClass(int position) {
  if (QTreeWidgetItem* node = tvKey_->NodeAt(position)) {
    tvKey_->setCurrentItem(node);
    ClassChanged();  // also when the node was current already
  }
}

void TKeywordPanel::SelectRow(int row) {
  if (row < lvKey_->topLevelItemCount()) {
    lvKey_->clearSelection();
    lvKey_->setCurrentItem(lvKey_->topLevelItem(row));
    lvKey_->setFocus();
  }
}

std::optional<int> TKeywordPanel::SelectedNode() const {
  QTreeWidgetItem* node = tvKey_->currentItem();
  if (!node || !node->isSelected()) return std::nullopt;
  return tvKey_->PositionOf(node);
}

std::optional<int> TKeywordPanel::SelectedRow() const {
  QTreeWidgetItem* row = lvKey_->currentItem();
  if (!row || !row->isSelected()) return std::nullopt;
  return lvKey_->indexOfTopLevelItem(row);
}

TOneKey* TKeywordPanel::CurrentKey(bool selected) const {
  QTreeWidgetItem* row = lvKey_->currentItem();
  if (!row || (selected && !row->isSelected())) return nullptr;
  return TKeyListView::KeyOf(row);
}

std::string TKeywordPanel::CurrentClass() const {
  QTreeWidgetItem* node = tvKey_->currentItem();
  return node ? TKeyTreeView::TextOf(node) : std::string();
}

void TKeywordPanel::AddKey(TOneKey& key) {
  auto* row = new QTreeWidgetItem;
  row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(&key)));
  lvKey_->addTopLevelItem(row);
  UpdateKeyRow(key);
  lvKey_->clearSelection();
  lvKey_->setCurrentItem(row);
}

void TKeywordPanel::UpdateKeyRow(const TOneKey& key) {
  if (QTreeWidgetItem* row = lvKey_->RowOf(&key)) SetRowTexts(row, KeyRowTexts(key, app_, program_.CategoryNames()));
}

void TKeywordPanel::ClassChanged() {
  QTreeWidgetItem* node = tvKey_->currentItem();
  if (!node) return;
  if (tvKey_->PositionOf(node) == 0) {
    FillKeyList(std::nullopt);
  } else {
    FillKeyList(TKeyTreeView::TextOf(node));
  }
  lblNowKey_->SetCaption(" " + node->text(0));
  if (lvKey_->topLevelItemCount() > 0) lvKey_->setCurrentItem(lvKey_->topLevelItem(0));
}

void TKeywordPanel::FillKeyList(const std::optional<std::string>& classify) {
  lvKey_->clear();
  const std::vector<std::string> categories = program_.CategoryNames();
  QList<QTreeWidgetItem*> rows;
  for (TOneKey* key : KeysOfClassify(app_.KeyList, classify)) {
    auto* row = new QTreeWidgetItem;
    row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(key)));
    SetRowTexts(row, KeyRowTexts(*key, app_, categories));
    rows.append(row);
  }
  lvKey_->addTopLevelItems(rows);
}

void TKeywordPanel::KeyRowChanged() {
  TOneKey* key = CurrentKey();
  if (key) key->EnsureLoaded(program_.Files().resultDir);
  emit KeyChosen(key);
}

void TKeywordPanel::DeleteSelectedKeys() {
  if (Confirmed(this, "Delete these keys?")) {
    const std::vector<TOneKey*> selected = lvKey_->SelectedKeys();
    switch (program_.DeleteKeys(selected)) {
      case TKeyDeleteVerdict::NoneSelected:
        QMessageBox::warning(this, kWarning, "Please select a key to delete!");
        break;
      case TKeyDeleteVerdict::Refused:
        QMessageBox::warning(this, kWarning, "Can't delete these keys!");
        return;
      case TKeyDeleteVerdict::Allowed:
        // The keyword shown goes before its row, so that nothing shows a deleted record.
        if (std::find(selected.begin(), selected.end(), CurrentKey()) != selected.end()) emit KeyChosen(nullptr);
        qDeleteAll(lvKey_->selectedItems());
        break;
    }
  }
  if (QTreeWidgetItem* focused = lvKey_->currentItem()) lvKey_->setCurrentItem(focused);
}

void TKeywordPanel::KeywordsDropped(QTreeWidgetItem* node) {
  TOneKey* first = nullptr;
  for (int i = 0; i < lvKey_->topLevelItemCount() && !first; ++i)
    if (lvKey_->topLevelItem(i)->isSelected()) first = TKeyListView::KeyOf(lvKey_->topLevelItem(i));
  if (!first) return;
  program_.FileKey(*first, TKeyTreeView::TextOf(node));
  if (tvKey_->currentItem() == node) {
    ClassChanged();
  } else {
    tvKey_->setCurrentItem(node);
  }
}

bool TKeywordPanel::TreeMayChange() {
  if (!program_.TreeKept()) return true;
  if (!Confirmed(this,
                 "KeyTree.txt could not be read whole, so it is left as it is. A change of the classes writes "
                 "it with only the classes shown here, and the rest of the file is lost. Change the classes?"))
    return false;
  program_.ReplaceKeptTree();
  tvKey_->SetRenamable(true);
  return true;
}

void TKeywordPanel::EditClass() {
  QTreeWidgetItem* node = tvKey_->currentItem();
  if (node && TreeMayChange()) tvKey_->editItem(node);
}

void TKeywordPanel::AddClass(bool asChild) {
  QTreeWidgetItem* node = tvKey_->currentItem();
  if (asChild && !node) return;
  if (!TreeMayChange()) return;
  tvKey_->AddClass(node, asChild);
  program_.TreeEdited();
}

void TKeywordPanel::DeleteClass() {
  QTreeWidgetItem* node = tvKey_->currentItem();
  if (!node) return;
  if (!ClassDeletable(tvKey_->Nodes(), static_cast<size_t>(tvKey_->PositionOf(node)))) {
    QMessageBox::warning(this, kWarning, "Can't delete the first level!");
    return;
  }
  if (TreeMayChange() && Confirmed(this, "Delete the classify?")) {
    delete node;
    program_.TreeEdited();
  }
}

}  // namespace quorvex
