#pragma once
#include <memory>
#include <string_view>
#include <vector>

#include "core/app/AppState.h"
#include "core/pages/verify_display.h"
#include "core/program/TProgram.h"

namespace quorvex::test {

// What the running program told its viewer about runs that ended, results it edited and, given the
// program's AppState, the activity states it announced; the rest of what it tells is dropped.
class ProgramEvents : public TProgramDisplay, public TVerifyDisplay {
 public:
  explicit ProgramEvents(const AppState* app = nullptr) : app_(app) {}
  void ShowActivity(std::string_view) override {}
  void ActivityStateChanged() override {
    if (app_ != nullptr) states.push_back(app_->ActivityState);
  }
  void KeyAdded(TOneKey&) override {}
  void SearchStarted(TOneKey&) override {}
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view, const TOneKey&) override {
    return std::make_unique<QuietRow>();
  }
  void ResultsMerged(TOneKey&, int, int) override {}
  void EnginesFinished() override {}
  void SearchEnded(TOneKey& key) override { searched.push_back(&key); }
  void VerifyStarted(TOneKey&) override {}
  void VerifyEnded(TOneKey& key) override { verified.push_back(&key); }
  void ResultsEdited(TOneKey& key) override { edited.push_back(&key); }
  void RunStarted(int) override {}
  void Progress(const TVerifyProgress&) override {}
  void WorkerRow(int, std::string_view, int, int) override {}
  void ResultChecked(int, int) override {}

  std::vector<TOneKey*> searched;
  std::vector<TOneKey*> verified;
  std::vector<TOneKey*> edited;
  std::vector<TActivityState> states;

 private:
  const AppState* app_;
  class QuietRow : public TSearchProgressRow {
    void Connected() override {}
    void Downloading(int) override {}
    void FinishedDown(int, std::string_view) override {}
  };
};

}  // namespace quorvex::test
