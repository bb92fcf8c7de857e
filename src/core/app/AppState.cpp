#include "core/app/AppState.h"

namespace quorvex {

AppState& App() {
  static AppState state;
  return state;
}

}  // namespace quorvex
