#include "core/store/key_list.h"

#include <gtest/gtest.h>

#include "core/app/AppState.h"
#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "core/store/result_file_name.h"
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

TEST(KeyList, AKeywordWithControlBytesKeepsItsResultsAcrossARestart) {
  test::TempDir dir;
  AppState before;
  TOneKey& key = AddKey(before, std::string("two\nlines\tand\0nul", 17));
  EXPECT_EQ(key.Keyword, "two lines and nul");
  key.Results.Add("HTTP://X", TOneResult{}).Url = "http://x";
  key.Modified = true;
  ASSERT_TRUE(SaveKeyList(before.KeyList, dir / kAllKeyFileName, dir.Path(), kCategories));

  AppState after;
  ASSERT_TRUE(LoadKeyList(after, dir / kAllKeyFileName, kCategories));
  ASSERT_EQ(after.KeyList.size(), 1u);
  EXPECT_EQ(after.KeyList[0]->Keyword, key.Keyword);
  EXPECT_TRUE(after.KeyList[0]->LoadResults(dir.Path()));
}

TEST(KeyList, SearchesInOneMillisecondNeverShareAResultFile) {
  test::TempDir dir;
  // The clock reads milliseconds: two successive readings are not both on a whole second.
  const double first = NowDateTime();
  double next = first;
  while (next == first) next = NowDateTime();
  EXPECT_NE(MillisecondOfDay(first) % 1000 + MillisecondOfDay(next) % 1000, 0);

  AppState app;
  const auto search = [&app](const char* keyword, int millisecond) {
    auto record = std::make_unique<TOneKey>(keyword, 45000 + millisecond / 86400000.0, 0, 0);
    record->AvoidFileNamesOf(app.KeyList);
    TOneKey& key = app.AddKey(std::move(record));
    key.Results.Add("U", TOneResult{}).Url = "http://" + std::to_string(app.KeyList.size());
    key.Modified = true;
    return MillisecondOfDay(key.Date);
  };
  EXPECT_EQ(search("k", 1234), 1234);
  EXPECT_EQ(search("k", 1234), 1235);
  EXPECT_EQ(search("k12", 34), 36);  // "k1234" and "k1235" are taken
  ASSERT_TRUE(SaveKeyList(app.KeyList, dir / kAllKeyFileName, dir.Path(), kCategories));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);

  AppState after;
  ASSERT_TRUE(LoadKeyList(after, dir / kAllKeyFileName, kCategories));
  for (size_t i = 0; i < after.KeyList.size(); ++i) {
    ASSERT_TRUE(after.KeyList[i]->LoadResults(dir.Path())) << i;
    EXPECT_EQ(after.KeyList[i]->Results[0].Url, "http://" + std::to_string(i + 1));
  }
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
