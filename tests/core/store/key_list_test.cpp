#include "core/store/key_list.h"

#include <gtest/gtest.h>

#include "core/app/AppState.h"
#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

const std::vector<std::string> kCategories = {"Web", "News"};

TOneKey& AddKey(AppState& app, const std::string& keyword) {
  TOneKey& key = app.AddKey(std::make_unique<TOneKey>(keyword, 45000.5, 1, 0));
  key.Loaded = true;
  return key;
}

}  // namespace

TEST(KeyList, SavesEveryKeywordAndTheResultsOfModifiedOnesThenReadsThemBack) {
  test::TempDir dir;
  const auto results = dir / "SearchResult";
  std::filesystem::create_directories(results);
  AppState before;
  TOneKey& changed = AddKey(before, "changed");
  changed.Classify = "A";
  changed.Results.Add("HTTP://X", TOneResult{}).Url = "http://x";
  changed.Modified = true;
  AddKey(before, "untouched").Classify = "B";
  ASSERT_TRUE(SaveKeyList(before.KeyList, dir / kAllKeyFileName, results, kCategories));
  EXPECT_FALSE(changed.Modified);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(results), {}), 1);  // only the modified one
  EXPECT_EQ(ReadWholeFile(dir / kAllKeyFileName).value(),
            "\"changed\",\"Web\",\"1\",\"45000.5\",\"0\",\"A\",\"0\",\"0\"\r\n"
            "\"untouched\",\"Web\",\"1\",\"45000.5\",\"0\",\"B\",\"0\",\"0\"\r\n");

  AppState after;
  ASSERT_TRUE(LoadKeyList(after, dir / kAllKeyFileName, kCategories));
  ASSERT_EQ(after.KeyList.size(), 2u);
  ASSERT_TRUE(after.KeyList[0]->LoadResults(results));
  EXPECT_EQ(after.KeyList[0]->Results[0].Url, "http://x");
  EXPECT_FALSE(LoadKeyList(after, dir / "missing.txt", kCategories));
  EXPECT_EQ(after.KeyList.size(), 2u);
}

TEST(KeyList, AResultFileThatCannotBeWrittenStopsNothingElse) {
  test::TempDir dir;
  AppState app;
  TOneKey& a = AddKey(app, "a");
  TOneKey& b = AddKey(app, "b");
  a.Modified = b.Modified = true;
  EXPECT_FALSE(SaveKeyList(app.KeyList, dir / kAllKeyFileName, dir / "no-such-folder", kCategories));
  EXPECT_TRUE(a.Modified && b.Modified);  // still to be saved
  EXPECT_TRUE(ReadWholeFile(dir / kAllKeyFileName).has_value());
}
