#pragma once
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/app/AppState.h"
#include "gui/QtDispatcher.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TKeywordPanel.h"
#include "gui/TSearchList.h"
#include "gui/TfmMetaSearch.h"
#include "support/test_support.h"

namespace quorvex::test {

// Runs the event loop until done() holds or the time-out passes; returns done().
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Answers every message box that opens while it lives, recording its text.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);
  QStringList texts;

 private:
  QTimer timer_;
  QMessageBox::StandardButton answer_;
};

// A program folder with the shipped engine set and a working folder, both fresh; option.txt says not
// to update the engines. The window is made by Open, once the test has put its files in place.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  TfmMetaSearch& Open();
  // Closes the window as its close box does and frees it.
  void Close();
  std::string ReadWorkFile(const std::string& name) const;
  std::string ReadProgramFile(const std::string& name) const;
  // Replaces Index.txt by one category of engines whose definitions are given as name and text.
  void UseEngines(const std::vector<std::pair<std::string, std::string>>& engines) const;
  void Type(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
  // Types keyword into the search bar and presses Search; waits for the search to end when asked.
  void Search(const QString& keyword);
  bool WaitForIdle();
  // The window's controls, found by their object names.
  template <typename T>
  T* Find(const char* name) const {
    T* control = window_->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  TKeyTreeView* Tree() const { return Find<TKeyTreeView>("tvKey"); }
  TKeyListView* Keys() const { return Find<TKeyListView>("lvKey"); }
  TSearchList* Results() const { return Find<TSearchList>("List"); }
  TKeywordPanel& Keywords() const { return *window_->findChild<TKeywordPanel*>(); }

  TempDir programDir_;
  TempDir workDir_;
  std::filesystem::path previousWorkDir_;
  AppState app_;
  std::unique_ptr<QtDispatcher> dispatcher_;
  std::unique_ptr<TfmMetaSearch> window_;
};

}  // namespace quorvex::test
