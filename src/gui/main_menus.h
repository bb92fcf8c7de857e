#pragma once

class QMenuBar;

namespace quorvex {

class TKeywordPanel;
class TSearchList;
struct TMainCommands;

// The menu bar's menus, offering the commands themselves.
void BuildMenuBar(QMenuBar& bar, const TMainCommands& commands);
// The popup menus of the keyword list, the keyword tree and the result list, with the keys that work
// while each has the focus; sets the keyword popup's own entries of commands.
void BuildPopupMenus(TMainCommands& commands, TKeywordPanel& keywords, TSearchList& results);

}  // namespace quorvex
