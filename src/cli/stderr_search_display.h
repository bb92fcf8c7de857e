#pragma once
#include <memory>
#include <string_view>

#include "core/search/search_display.h"

namespace quorvex::cli {

// The search display of the command-line tool: the activity texts and every engine's progress as lines
// on stderr ("NAME: Connected", "NAME: Downloading:N", "NAME: Finished:N", and for an engine whose
// page failed "NAME: Finished:N (REASON)"). The window-only parts (commands, keyword rows, progress
// bar) show nothing.
class StderrSearchDisplay : public TSearchDisplay {
 public:
  void ShowActivity(std::string_view text) override;
  void KeyAdded(TOneKey&) override {}
  void SearchStarted(TOneKey&) override {}
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) override;
  void ResultsMerged(TOneKey&, int, int) override {}
  void EnginesFinished() override {}  // RunUntilSearchEnds ends the search
  void SearchEnded(TOneKey&) override {}
};

}  // namespace quorvex::cli
