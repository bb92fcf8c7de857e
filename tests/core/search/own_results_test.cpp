#include "core/search/own_results.h"

#include <gtest/gtest.h>

#include "core/store/TOneKey.h"
#include "core/store/TResultList.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

void AddResult(TOneKey& key, const std::string& url, const std::string& engines) {
  TOneResult& result = key.Results.Add(TResultList::KeyOf(url), TOneResult{});
  result.Url = url;
  result.Title = url;
  result.Engines = engines;
}

}  // namespace

// Over every kept keyword, a saved one whose results are not loaded yet included: the results each
// engine found, and those it found alone. A name that is part of another's is another engine.
TEST(OwnResults, CountEachEnginesResultsAndThoseNoOtherEngineFound) {
  const test::TempDir results;
  TOneKey saved("saved", 45000.5, 0, 0);
  AddResult(saved, "http://a.example/", "Bing");
  AddResult(saved, "http://b.example/", "Bing-2;Bing");
  AddResult(saved, "http://c.example/", "Mojeek");
  ASSERT_TRUE(saved.SaveResults(results.Path()));
  const auto unloaded = TOneKey::FromLine(saved.ToLine({"Web"}), {"Web"});
  ASSERT_NE(unloaded, nullptr);
  ASSERT_FALSE(unloaded->Loaded);

  TOneKey shown("shown", 45001.5, 0, 0);
  shown.Loaded = true;
  AddResult(shown, "http://d.example/", "Bing-2");
  AddResult(shown, "http://e.example/", "Mojeek;Bing-2");

  const std::vector<TOwnResults> counts =
      OwnResultCounts({unloaded.get(), &shown}, {"Bing", "Bing-2", "Mojeek", "Yandex"}, results.Path());
  ASSERT_EQ(counts.size(), 4u);
  EXPECT_EQ(counts[0].found, 2);
  EXPECT_EQ(counts[0].own, 1);
  EXPECT_EQ(counts[1].found, 3);
  EXPECT_EQ(counts[1].own, 1);
  EXPECT_EQ(counts[2].found, 2);
  EXPECT_EQ(counts[2].own, 1);
  EXPECT_EQ(counts[3].found, 0);
  EXPECT_EQ(counts[3].own, 0);
  EXPECT_TRUE(unloaded->Loaded);
}
