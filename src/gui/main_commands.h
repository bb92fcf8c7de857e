#pragma once

class QAction;

namespace quorvex {

// The main window's commands, one action each, made once with its caption, keys, hint and picture; its
// state is set once, on the action. The menu bar and buttons offer the actions themselves; popups
// offer them, or entries under their own caption that trigger them and follow their state.
struct TMainCommands {
  QAction* search = nullptr;
  QAction* stop = nullptr;
  QAction* showProgress = nullptr;
  QAction* openPage = nullptr;
  QAction* openPageInNewWindow = nullptr;
  QAction* openLocalPage = nullptr;
  QAction* openLocalPageInNewWindow = nullptr;
  QAction* exit = nullptr;
  QAction* keywordsPanel = nullptr;
  QAction* treePanel = nullptr;
  QAction* statusBar = nullptr;
  QAction* fontAndColor = nullptr;
  QAction* maximise = nullptr;
  QAction* editKeyword = nullptr;
  QAction* updateSearch = nullptr;
  // The keyword popup's own "&Update Search": it hides while the program is busy, the Search menu's stays.
  QAction* updateSearchEntry = nullptr;
  QAction* deleteKeywords = nullptr;
  QAction* verify = nullptr;
  QAction* download = nullptr;
  QAction* stopVerify = nullptr;
  QAction* showVerifyProgress = nullptr;
  QAction* displayInBrowser = nullptr;
  QAction* sendToFriend = nullptr;
  QAction* find = nullptr;
  QAction* continueFind = nullptr;
  QAction* filter = nullptr;
  QAction* copyUrl = nullptr;
  QAction* addClass = nullptr;
  QAction* editClass = nullptr;
  QAction* deleteClass = nullptr;
  QAction* addSubClass = nullptr;
  QAction* learnEngine = nullptr;
  QAction* engineHealth = nullptr;
  QAction* options = nullptr;
  QAction* help = nullptr;
  QAction* homePage = nullptr;
  QAction* about = nullptr;
  QAction* deleteResult = nullptr;
  QAction* resultProperty = nullptr;
};

}  // namespace quorvex
