#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quorvex {

class TOneKey;

enum class TActivityState { Searching = 0, Verifying = 1, Idle = 2 };

// The process-wide run-time state that start-up sets up. Owned and touched by the main thread only.
struct AppState {
  AppState();
  ~AppState();
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  // Takes ownership of key and appends it to KeyList.
  TOneKey& AddKey(std::unique_ptr<TOneKey> key);

  std::vector<TOneKey*> KeyList;  // every keyword, in load and creation order; not owning
  // Owns every record that ever entered KeyList. A keyword deleted from KeyList lives on until the
  // program ends, since its verification workers may still be finishing with it.
  std::vector<std::unique_ptr<TOneKey>> KeyRecords;
  TOneKey* CurrentSearch = nullptr;
  TOneKey* CurrentVerify = nullptr;
  bool UpdateMode = false;
  TActivityState ActivityState = TActivityState::Idle;
};

AppState& App();

// Appends one record per line of AllKey.txt to app's KeyList, in file order; results are read later,
// when a keyword is first shown. False when the file cannot be read (KeyList is then unchanged).
bool LoadKeyList(AppState& app, const std::filesystem::path& allKeyFile, const std::vector<std::string>& categoryNames);

}  // namespace quorvex
