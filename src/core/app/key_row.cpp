#include "core/app/key_row.h"

#include "core/app/AppState.h"
#include "core/store/TOneKey.h"

namespace quorvex {

std::array<std::string, 6> KeyRowTexts(const TOneKey& key, const AppState& app,
                                       const std::vector<std::string>& categoryNames) {
  const std::array<std::string, 5> columns = key.RowColumns(categoryNames);
  std::string state = StateNames[3];
  if (&key == app.CurrentSearch) state = StateNames[0];
  if (&key == app.CurrentVerify) state = StateNames[1];
  return {key.Keyword, columns[0], columns[1], columns[2], columns[3], state};
}

}  // namespace quorvex
