#pragma once
#include "core/app/AppState.h"

namespace quorvex {

// Which commands of the main window are offered while the program is in one activity state.
struct TCommandStates {
  bool VerifyCommandsShown = true;      // verify, download and update search menu items
  bool StartControlsEnabled = true;     // Search, Verify and Download buttons, the keyword edit, the
                                        // New Search and Update Search buttons of the keyword dialog
  bool ShowProgressShown = false;       // the Show Progress button
  bool StopEnabled = false;             // the Stop button
  bool StopVerifyCommandsShown = false; // stop and show-progress items of a verification
  bool operator==(const TCommandStates&) const = default;
};

TCommandStates CommandStatesFor(TActivityState state);

}  // namespace quorvex
