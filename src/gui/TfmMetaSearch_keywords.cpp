// What the main window does with the engine choice and the keyword panel.
#include <QMessageBox>

#include "core/store/TOneKey.h"
#include "gui/TEngineChoice.h"
#include "gui/TKeywordPanel.h"
#include "gui/TResultPanel.h"
#include "gui/TfmEngineHealth.h"
#include "gui/TfmKeyProp.h"
#include "gui/TfmLearnEngine.h"
#include "gui/TfmMetaSearch.h"
#include "gui/display_text.h"

namespace quorvex {

void TfmMetaSearch::LearnEngine(const QString& page, const QString& name) {
  if (!learn_->Execute(page, name, program_.CategoryName(engines_->Category()).value_or(""))) return;
  const int category = engines_->Category();
  engines_->Reload();
  engines_->SetCategory(category);
}

void TfmMetaSearch::ShowEngineHealth() {
  if (const std::optional<std::string> category = program_.CategoryName(engines_->Category()))
    health_->Execute(program_.Index(), *category, app_.KeyList);
}

void TfmMetaSearch::SearchCategory(int category) {
  KeyPropSearch(keyProp_->Execute(engines_->CategoryTexts(), category, cbMatch->currentIndex()));
}

void TfmMetaSearch::UpdateKeyRow(const TOneKey& key) {
  keywords_->UpdateKeyRow(key);
  if (&key == results_->Key()) results_->ShowKeyLabels(key);
}

void TfmMetaSearch::NEditKeyClick() {
  TOneKey* key = keywords_->CurrentKey(true);
  if (!key) return;
  const QString keyword = ToDisplay(key->Keyword);
  KeyPropSearch(keyProp_->Execute(engines_->CategoryTexts(), key->Category, key->MatchMode, &keyword));
}

void TfmMetaSearch::NUpdateKeyClick() {
  TOneKey* key = keywords_->CurrentKey(true);
  if (!key) {
    QMessageBox::warning(this, "Worning", "Please select a key to update!");
    return;
  }
  edKey->setText(ToDisplay(key->Keyword));
  StartUpdateSearch();
}

void TfmMetaSearch::KeyPropSearch(int action) {
  if (action == TfmKeyProp::Closed) return;
  const bool update = action == TfmKeyProp::UpdateSearch;
  engines_->SetCategory(keyProp_->Category());
  edKey->setText(keyProp_->Keyword());
  if (!update) {
    countPerEngine_ = keyProp_->Limits().CountPerEngine;
    countAll_ = keyProp_->Limits().CountAll;
  }
  cbMatch->setCurrentIndex(keyProp_->MatchMode());
  if (update) {
    StartUpdateSearch();
  } else {
    btnSearchClick();
  }
}

}  // namespace quorvex
