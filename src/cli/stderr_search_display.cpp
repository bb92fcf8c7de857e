#include "cli/stderr_search_display.h"

#include <iostream>
#include <string>

#include "cli/escape.h"
#include "core/common/utf8.h"

namespace quorvex::cli {
namespace {

class StderrProgressRow : public TSearchProgressRow {
 public:
  explicit StderrProgressRow(std::string_view engineName) : prefix_(Escape(engineName) + ": ") {}
  void Connected() override { Say("Connected"); }
  void Downloading(int reported) override { Say("Downloading:" + std::to_string(reported)); }
  void FinishedDown(int added, std::string_view failure) override {
    std::string state = "Finished:" + std::to_string(added);
    if (!failure.empty()) state += " (" + Escape(failure) + ")";
    Say(state);
  }

 private:
  void Say(const std::string& state) const { std::cerr << prefix_ << state << '\n'; }

  std::string prefix_;
};

}  // namespace

// The keyword in it is kept as GB18030; the terminal reads UTF-8.
void StderrSearchDisplay::ShowActivity(std::string_view text) { std::cerr << Escape(Utf8Keyword(text)) << '\n'; }

std::unique_ptr<TSearchProgressRow> StderrSearchDisplay::AddProgressRow(std::string_view engineName, const TOneKey&) {
  return std::make_unique<StderrProgressRow>(engineName);
}

}  // namespace quorvex::cli
