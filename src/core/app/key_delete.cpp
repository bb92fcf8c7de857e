#include "core/app/key_delete.h"

#include <algorithm>

#include "core/app/AppState.h"

namespace quorvex {

TKeyDeleteVerdict KeyDeleteVerdict(const std::vector<TOneKey*>& selected, const AppState& app) {
  if (selected.empty()) return TKeyDeleteVerdict::NoneSelected;
  const bool busy = std::any_of(selected.begin(), selected.end(), [&app](const TOneKey* key) {
    return key == app.CurrentSearch || key == app.CurrentVerify;
  });
  return busy ? TKeyDeleteVerdict::Refused : TKeyDeleteVerdict::Allowed;
}

void RemoveKeys(AppState& app, const std::vector<TOneKey*>& selected) {
  std::erase_if(app.KeyList, [&selected](const TOneKey* key) {
    return std::find(selected.begin(), selected.end(), key) != selected.end();
  });
}

}  // namespace quorvex
