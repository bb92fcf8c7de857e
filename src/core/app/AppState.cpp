#include "core/app/AppState.h"

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

}  // namespace quorvex
