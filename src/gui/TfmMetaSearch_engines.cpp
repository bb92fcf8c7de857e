// The engine controls: the category choice cbType, the category list lvType and the engine list
// lvNowEngine with its check boxes, which write through to Index.txt's lines.
#include "core/config/ProgramDirs.h"
#include "core/app/AppState.h"
#include "gui/TfmEngineHealth.h"
#include "gui/TfmKeyProp.h"
#include "gui/TfmLearnEngine.h"
#include "gui/TfmMetaSearch.h"
#include "gui/display_text.h"
#include "gui/pictures.h"

namespace quorvex {
namespace {
constexpr int kLineRole = Qt::UserRole;
}

void TfmMetaSearch::LoadEngineIndex() {
  index_ = EngineIndex();
  index_.Load(std::filesystem::path(EngineDir()) / EngineIndex::kFileName);
  const QSignalBlocker quietCombo(cbType);
  const QSignalBlocker quietList(lvType);
  cbType->clear();
  lvType->clear();
  for (const EngineCategory& category : index_.Categories()) {
    cbType->addItem(ToDisplay(category.Name));
    auto* row = new QListWidgetItem(CategoryPicture(categoryPictures_, category.Picture), ToDisplay(category.Name), lvType);
    row->setData(kLineRole, static_cast<qulonglong>(category.HeaderLine));
  }
  cbType->setCurrentIndex(0);
  cbTypeChange(true);
}

void TfmMetaSearch::cbTypeChange(bool withSender) {
  const int index = cbType->currentIndex();
  if (index < 0 || index >= cbType->count()) return;
  if (withSender && index < lvType->count()) {
    const QSignalBlocker quiet(lvType);
    lvType->setCurrentRow(index);
  }
  const std::vector<std::string> names = index_.CategoryNames();
  const QSignalBlocker quiet(lvNowEngine);
  lvNowEngine->clear();
  if (static_cast<size_t>(index) >= names.size()) return;
  for (const EngineRow& engine : index_.Engines(names[static_cast<size_t>(index)])) {
    auto* row = new QListWidgetItem(ToDisplay(engine.Name), lvNowEngine);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(engine.Checked ? Qt::Checked : Qt::Unchecked);
    row->setData(kLineRole, static_cast<qulonglong>(engine.Line));
  }
}

void TfmMetaSearch::lvTypeChange() {
  const int row = lvType->currentRow();
  if (row < 0 || row >= cbType->count()) return;
  cbType->setCurrentIndex(row);
  cbTypeChange(false);
}

void TfmMetaSearch::lvTypeDblClick() {
  const int row = lvType->currentRow();
  if (row < 0) return;
  KeyPropSearch(keyProp_->Execute(CategoryTexts(), row, cbMatch->currentIndex()));
}

void TfmMetaSearch::lvNowEngineChange(QListWidgetItem* row) {
  if (!row) return;
  index_.SetChecked(row->data(kLineRole).toULongLong(), row->checkState() == Qt::Checked);
}

QStringList TfmMetaSearch::CategoryTexts() const {
  QStringList texts;
  for (int i = 0; i < cbType->count(); ++i) texts.append(cbType->itemText(i));
  return texts;
}

void TfmMetaSearch::LearnEngine(const QString& page, const QString& name) {
  if (!learn_->Execute(page, name)) return;
  const int category = cbType->currentIndex();
  LoadEngineIndex();
  if (category < cbType->count()) cbType->setCurrentIndex(category);
  cbTypeChange(true);
}

void TfmMetaSearch::ShowEngineHealth() {
  const std::vector<std::string> names = index_.CategoryNames();
  const int category = cbType->currentIndex();
  if (category < 0 || static_cast<size_t>(category) >= names.size()) return;
  health_->Execute(index_, names[static_cast<size_t>(category)], app_.KeyList);
}

}  // namespace quorvex
