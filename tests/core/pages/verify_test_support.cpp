#include "verify_test_support.h"

#include <chrono>

#include "core/pages/TVerify.h"

namespace quorvex::test {

void AddResults(TOneKey& key, const std::vector<std::string>& urls) {
  for (const std::string& url : urls) {
    TOneResult result;
    result.Url = url;
    key.Results.Add(TResultList::KeyOf(url), std::move(result));
  }
}

bool RunUntilVerified(QueueDispatcher& dispatcher, const TOneKey& key) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (key.RunningVerifiers > 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    dispatcher.WaitAndRunPending(std::chrono::milliseconds(200));
  }
  return WaitForVerifyWorkers(std::chrono::seconds(30));
}

std::vector<int> PageStates(const TOneKey& key) {
  std::vector<int> states;
  for (size_t i = 0; i < key.Results.Count(); ++i) states.push_back(key.Results[i].PageState);
  return states;
}

}  // namespace quorvex::test
