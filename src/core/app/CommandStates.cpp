#include "core/app/CommandStates.h"

namespace quorvex {

TCommandStates CommandStatesFor(TActivityState state) {
  const bool idle = state == TActivityState::Idle;
  TCommandStates states;
  states.VerifyCommandsShown = idle;
  states.StartControlsEnabled = idle;
  states.ShowProgressShown = !idle;
  states.StopEnabled = !idle;
  states.StopVerifyCommandsShown = state == TActivityState::Verifying;
  return states;
}

}  // namespace quorvex
