// The keyword tree tvKey, the keyword list lvKey and the keyword commands.
#include <QMessageBox>

#include "core/app/AppState.h"
#include "core/common/datetime.h"
#include "core/store/TOneKey.h"
#include "core/app/key_delete.h"
#include "core/app/key_row.h"
#include "core/store/key_list.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TSearchList.h"
#include "gui/TVLabel.h"
#include "gui/TfmKeyProp.h"
#include "gui/TfmMetaSearch.h"
#include "gui/display_text.h"

namespace quorvex {
namespace {
constexpr const char* kWarning = "Worning";

bool Confirmed(QWidget* parent, const char* question) {
  return QMessageBox::question(parent, kWarning, question, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}
}  // namespace

void TfmMetaSearch::LoadKeyTree() {
  const TProgram::TreeLoad load = program_.LoadKeyTree();
  tvKey->SetNodes(load.nodes);
  if (load.problem.empty()) return;
  tvKey->SetRenamable(false);  // until the user agrees to lose the classes not read
  QMessageBox::critical(this, "Quorvex", ToDisplay(load.problem));
}

void TfmMetaSearch::LoadKeywords() {
  const std::string problem = program_.LoadKeywords();
  if (!problem.empty()) QMessageBox::critical(this, "Quorvex", ToDisplay(problem));
}

bool TfmMetaSearch::TreeMayChange() {
  if (!program_.TreeKept()) return true;
  if (!Confirmed(this,
                 "KeyTree.txt could not be read whole, so it is left as it is. A change of the classes writes "
                 "it with only the classes shown here, and the rest of the file is lost. Change the classes?"))
    return false;
  program_.ReplaceKeptTree();
  tvKey->SetRenamable(true);
  return true;
}

void TfmMetaSearch::tvKeyChange() {
  QTreeWidgetItem* node = tvKey->currentItem();
  if (!node) return;
  if (tvKey->PositionOf(node) == 0) {
    FillKeyList(std::nullopt);
  } else {
    FillKeyList(TKeyTreeView::TextOf(node));
  }
  lblNowKey->SetCaption(" " + node->text(0));
  if (lvKey->topLevelItemCount() > 0) lvKey->setCurrentItem(lvKey->topLevelItem(0));
}

void TfmMetaSearch::FillKeyList(const std::optional<std::string>& classify) {
  lvKey->clear();
  const std::vector<std::string> categories = CategoryNames();
  QList<QTreeWidgetItem*> rows;
  for (TOneKey* key : KeysOfClassify(app_.KeyList, classify)) {
    auto* row = new QTreeWidgetItem;
    row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(key)));
    const std::array<std::string, 6> texts = KeyRowTexts(*key, app_, categories);
    for (int column = 0; column < 6; ++column) row->setText(column, ToDisplay(texts[static_cast<size_t>(column)]));
    rows.append(row);
  }
  lvKey->addTopLevelItems(rows);
}

void TfmMetaSearch::UpdateKeyRow(const TOneKey& key) {
  QTreeWidgetItem* row = lvKey->RowOf(&key);
  if (!row) return;
  const std::array<std::string, 6> texts = KeyRowTexts(key, app_, CategoryNames());
  for (int column = 0; column < 6; ++column) row->setText(column, ToDisplay(texts[static_cast<size_t>(column)]));
  if (&key == List->Key()) ShowKeyLabels(key);
}

void TfmMetaSearch::ShowKeyLabels(const TOneKey& key) {
  lblKey->setText(ToDisplay(key.Keyword) + "  ");
  lblDate->setText(ToDisplay(FormatDateTime(key.Date)) + "  ");
  lblNum->setText(QString::number(key.ResultCount) + "  ");
}

void TfmMetaSearch::lvKeyChange() {
  TOneKey* key = TKeyListView::KeyOf(lvKey->currentItem());
  if (!key) {
    List->SetKey(nullptr);
    return;
  }
  key->EnsureLoaded(program_.Files().resultDir);
  List->SetKey(key);
  ShowKeyLabels(*key);
}

void TfmMetaSearch::NEditKeyClick() {
  QTreeWidgetItem* row = lvKey->currentItem();
  TOneKey* key = TKeyListView::KeyOf(row);
  if (!row || !row->isSelected() || !key) return;
  const QString keyword = ToDisplay(key->Keyword);
  KeyPropSearch(keyProp_->Execute(CategoryTexts(), key->Category, key->MatchMode, &keyword));
}

void TfmMetaSearch::NUpdateKeyClick() {
  QTreeWidgetItem* row = lvKey->currentItem();
  if (!row || !row->isSelected()) {
    QMessageBox::warning(this, kWarning, "Please select a key to update!");
    return;
  }
  edKey->setText(row->text(0));
  StartUpdateSearch();
}

void TfmMetaSearch::NDelKeyClick() {
  if (Confirmed(this, "Delete these keys?")) {
    const std::vector<TOneKey*> selected = lvKey->SelectedKeys();
    switch (program_.DeleteKeys(selected)) {
      case TKeyDeleteVerdict::NoneSelected:
        QMessageBox::warning(this, kWarning, "Please select a key to delete!");
        break;
      case TKeyDeleteVerdict::Refused:
        QMessageBox::warning(this, kWarning, "Can't delete these keys!");
        return;
      case TKeyDeleteVerdict::Allowed:
        if (std::find(selected.begin(), selected.end(), List->Key()) != selected.end()) List->SetKey(nullptr);
        qDeleteAll(lvKey->selectedItems());
        break;
    }
  }
  if (QTreeWidgetItem* focused = lvKey->currentItem()) lvKey->setCurrentItem(focused);
}

void TfmMetaSearch::KeywordsDropped(QTreeWidgetItem* node) {
  const QList<QTreeWidgetItem*> selected = lvKey->selectedItems();
  TOneKey* first = nullptr;
  for (int i = 0; i < lvKey->topLevelItemCount() && !first; ++i)
    if (lvKey->topLevelItem(i)->isSelected()) first = TKeyListView::KeyOf(lvKey->topLevelItem(i));
  if (!first) return;
  program_.FileKey(*first, TKeyTreeView::TextOf(node));
  if (tvKey->currentItem() == node) {
    tvKeyChange();
  } else {
    tvKey->setCurrentItem(node);
  }
}

void TfmMetaSearch::EditClass() {
  QTreeWidgetItem* node = tvKey->currentItem();
  if (node && TreeMayChange()) tvKey->editItem(node);
}

void TfmMetaSearch::AddClass(bool asChild) {
  QTreeWidgetItem* node = tvKey->currentItem();
  if (asChild && !node) return;
  if (!TreeMayChange()) return;
  tvKey->AddClass(node, asChild);
  program_.TreeEdited();
}

void TfmMetaSearch::DeleteClass() {
  QTreeWidgetItem* node = tvKey->currentItem();
  if (!node) return;
  if (!ClassDeletable(tvKey->Nodes(), static_cast<size_t>(tvKey->PositionOf(node)))) {
    QMessageBox::warning(this, kWarning, "Can't delete the first level!");
    return;
  }
  if (TreeMayChange() && Confirmed(this, "Delete the classify?")) {
    delete node;
    program_.TreeEdited();
  }
}

void TfmMetaSearch::KeyPropSearch(int action) {
  if (action == TfmKeyProp::Closed) return;
  const bool update = action == TfmKeyProp::UpdateSearch;
  cbType->setCurrentIndex(keyProp_->Category());
  edKey->setText(keyProp_->Keyword());
  if (!update) {
    countPerEngine_ = keyProp_->Limits().CountPerEngine;
    countAll_ = keyProp_->Limits().CountAll;
  }
  cbMatch->setCurrentIndex(keyProp_->MatchMode());
  cbTypeChange(true);
  if (update) {
    StartUpdateSearch();
  } else {
    btnSearchClick();
  }
}

}  // namespace quorvex
