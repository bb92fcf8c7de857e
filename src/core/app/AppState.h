#pragma once
#include <array>
#include <vector>

namespace quorvex {

class TOneKey;

enum class TActivityState { Searching = 0, Verifying = 1, Idle = 2 };

// State names shown in the status bar and the keyword list's Status column.
inline constexpr std::array<const char*, 4> StateNames = {"Searching...", "Downloading...", "Updating...",
                                                          "Finished"};

// The process-wide run-time state that start-up sets up. Owned and touched by the main thread only.
struct AppState {
  std::vector<TOneKey*> KeyList;  // every keyword, in load and creation order; not owning
  TOneKey* CurrentSearch = nullptr;
  TOneKey* CurrentVerify = nullptr;
  bool UpdateMode = false;
  TActivityState ActivityState = TActivityState::Idle;
};

AppState& App();

}  // namespace quorvex
