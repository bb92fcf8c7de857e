#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/dispatcher.h"
#include "core/pages/verify_display.h"
#include "core/store/TOneKey.h"

namespace quorvex::test {

// A display that records what a run shows.
class RecordingVerifyDisplay : public TVerifyDisplay {
 public:
  void RunStarted(int workers) override { rows = workers; }
  void Progress(const TVerifyProgress& progress) override {
    last = progress;
    ++calls;
  }
  void WorkerRow(int, std::string_view url, int, int) override {
    rowUrls.emplace_back(url);
    ++calls;
  }
  void ResultChecked(int, int) override { ++calls; }
  void PageNotSaved(int, std::string_view reason) override { notSaved.emplace_back(reason); }

  int rows = 0;
  int calls = 0;
  TVerifyProgress last;
  std::vector<std::string> rowUrls;
  std::vector<std::string> notSaved;
};

// A keyword whose results are these URLs, in order.
void AddResults(TOneKey& key, const std::vector<std::string>& urls);

// Runs the main loop until every worker has found no further result; false after the time-out.
bool RunUntilVerified(QueueDispatcher& dispatcher, const TOneKey& key);

std::vector<int> PageStates(const TOneKey& key);

}  // namespace quorvex::test
