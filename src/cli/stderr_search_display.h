#pragma once
#include <memory>
#include <string_view>

#include "core/search/search_display.h"

namespace quorvex::cli {

// The search display of the command-line tool: the status texts and every engine's progress as lines
// on stderr ("NAME: Connected", "NAME: Downloading:N", "NAME: Finished:N"). The window-only parts
// (commands, keyword rows, progress bar) show nothing.
class StderrSearchDisplay : public TSearchDisplay {
 public:
  void SetStatus(int panel, std::string_view text) override;
  void UpdateCommands() override {}
  void KeyAdded(TOneKey&) override {}
  void SearchStarted(TOneKey&) override {}
  void SearchEnded(TOneKey&) override {}
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) override;
  void ShowProgressWindow(bool) override {}
  void RunProgress(int, int) override {}
  void FillProgressBar() override {}
};

}  // namespace quorvex::cli
