#include "core/app/AppState.h"

#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/store/TOneKey.h"

namespace quorvex {

AppState::AppState() = default;
AppState::~AppState() = default;

TOneKey& AppState::AddKey(std::unique_ptr<TOneKey> key) {
  KeyRecords.push_back(std::move(key));
  KeyList.push_back(KeyRecords.back().get());
  return *KeyList.back();
}

AppState& App() {
  static AppState state;
  return state;
}

bool LoadKeyList(AppState& app, const std::filesystem::path& allKeyFile,
                 const std::vector<std::string>& categoryNames) {
  const std::optional<std::string> text = ReadWholeFile(allKeyFile);
  if (!text) return false;
  for (const std::string& line : SplitLines(*text)) app.AddKey(TOneKey::FromLine(line, categoryNames));
  return true;
}

}  // namespace quorvex
