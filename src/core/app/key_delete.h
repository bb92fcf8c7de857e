#pragma once
#include <vector>

namespace quorvex {

struct AppState;
class TOneKey;

enum class TKeyDeleteVerdict { NoneSelected, Refused, Allowed };

// Whether the selected keywords may be deleted: not at all while one of them is being searched or
// verified.
TKeyDeleteVerdict KeyDeleteVerdict(const std::vector<TOneKey*>& selected, const AppState& app);

// Takes every selected keyword out of KeyList. The records live on (their result files stay on disk).
void RemoveKeys(AppState& app, const std::vector<TOneKey*>& selected);

}  // namespace quorvex
