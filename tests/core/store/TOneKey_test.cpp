#include "core/store/TOneKey.h"

#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

const std::vector<std::string> kCategories = {"Web", "News"};

TOneResult& AddResult(TOneKey& key, const std::string& url) {
  TOneResult& result = key.Results.Add(TResultList::KeyOf(url), TOneResult{});
  result.Url = url;
  result.Title = "title of " + url;
  return result;
}

// The record read from line, written back; "null" when no record was made.
std::string Reread(const std::string& line, const std::vector<std::string>& names) {
  const auto key = TOneKey::FromLine(line, names);
  return key ? key->ToLine(names) : "null";
}

}  // namespace

TEST(TOneKeyLine, RoundTripsWithTheCategoryByName) {
  TOneKey key(R"(kw "q")", 45123.5, 2, 1);
  key.ResultCount = 12;
  key.Classify = "Tree, node";
  key.Extra1 = 5;
  key.Extra2 = 7;
  const std::string line = key.ToLine(kCategories);
  EXPECT_EQ(line, R"("kw ""q""","News","2","45123.5","12","Tree, node","5","7")");
  const auto read = TOneKey::FromLine(line, {"web", "NEWS"});  // names compare ignoring case
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->ToLine({"web", "NEWS"}), R"("kw ""q""","NEWS","2","45123.5","12","Tree, node","5","7")");
  EXPECT_EQ(read->Category, 1);
  EXPECT_EQ(read->State, 3);
  EXPECT_FALSE(read->Loaded);
  // A category that is gone reads as -1 and is written back with an empty name.
  EXPECT_EQ(Reread(line, {"Web"}), R"("kw ""q""","","2","45123.5","12","Tree, node","5","7")");
}

TEST(TOneKeyLine, ShortAndOddLines) {
  const auto five = TOneKey::FromLine(R"("five","Web","x","not a date","45123,5")", kCategories);
  ASSERT_NE(five, nullptr);
  EXPECT_EQ(five->State, 0);  // five items or fewer: an empty record that is still listed
  EXPECT_EQ(five->Keyword, "");
  EXPECT_EQ(five->PerEngineLimit, 20);
  EXPECT_EQ(Reread(R"("seven","Web","x","not a date","y","c","4")", kCategories),
            R"("seven","Web","0","0","0","c","4","0")");
  // Six items, and a date written under a decimal-comma locale.
  EXPECT_EQ(Reread(R"("old","Web","1","45123,5","3","")", kCategories), R"("old","Web","1","45123.5","3","","0","0")");
}

TEST(TOneKeyResults, SavedFileHoldsResultsWithAUrlAndReadsBack) {
  test::TempDir dir;
  TOneKey key("query", 45123.5, 0, 0);
  AddResult(key, "http://a.com/x");
  AddResult(key, "");  // never written
  AddResult(key, "http://B.com");
  ASSERT_TRUE(key.SaveResults(dir.Path()));
  EXPECT_EQ(ReadWholeFile(dir / "query43200000").value(),
            key.Results[0].ToLine() + "\r\n" + key.Results[2].ToLine() + "\r\n");

  TOneKey reread("query", 45123.5, 0, 0);
  ASSERT_TRUE(reread.LoadResults(dir.Path()));
  EXPECT_TRUE(reread.Loaded);
  EXPECT_EQ(reread.ResultCount, 2);
  EXPECT_EQ(reread.Results.Find("http://b.COM"), &reread.Results[1]);

}

TEST(TOneKeyResults, OlderFilesWithBrokenLinesStillLoad) {
  test::TempDir dir;
  // A URL that broke its own line, an empty line, a date with a decimal comma, no last line end.
  dir.Write("old 1234",
            "\"T1\",\"http://a\",\"S\",\"1\",\"Old\",\"0\",\"2\",\"150\",\"39000,5\",\"0\",\"0\"\r\n"
            "\"T2\",\"http://b\"q\",\"S\",\"1\",\"Old\",\"0\",\"0\",\"150\",\"39000.5\",\"0\",\"0\"\r\n"
            "\r\n"
            "\"T3\",\"http://c\",\"S\",\"4\",\"Old\",\"1\",\"0\",\"90\",\"39000.75\",\"0\",\"0\"");
  TOneKey key("old ", 1234 / 86400000.0, 0, 0);
  ASSERT_TRUE(key.LoadResults(dir.Path()));
  ASSERT_EQ(key.ResultCount, 4);  // a broken line still counts, as an empty result under an empty key
  EXPECT_EQ(key.Results[0].Found, 39000.5);
  EXPECT_EQ(key.Results.KeyAt(1), "");
  EXPECT_EQ(key.Results[3].Visited, 1);
}

TEST(TOneKeyResults, AKeywordAddedToWhileUnloadedReadsItsFileFirst) {
  test::TempDir dir;
  TOneKey saved("k", 45123.5, 0, 0);
  AddResult(saved, "http://old");
  ASSERT_TRUE(saved.SaveResults(dir.Path()));

  const auto key = TOneKey::FromLine(saved.ToLine(kCategories), kCategories);
  ASSERT_NE(key, nullptr);
  key->EnsureLoaded(dir.Path());
  key->EnsureLoaded(dir.Path());  // read once
  AddResult(*key, "http://new");
  ASSERT_TRUE(key->SaveResults(dir.Path()));
  TOneKey reread("k", 45123.5, 0, 0);
  ASSERT_TRUE(reread.LoadResults(dir.Path()));
  EXPECT_EQ(reread.ResultCount, 2);
  EXPECT_NE(reread.Results.Find("HTTP://OLD"), nullptr);
}

TEST(TOneKeyResults, DeletingAResultTakesItOutOfTheViewToo) {
  TOneKey key("k", 45123.5, 0, 0);
  TOneResult* doomed = &AddResult(key, "http://a");
  AddResult(key, "http://b");
  key.View = {&key.Results[1], doomed};
  EXPECT_TRUE(key.DeleteResult(doomed));
  EXPECT_EQ(key.View, (std::vector<TOneResult*>{&key.Results[0]}));
  EXPECT_EQ(key.ResultCount, 1);
  EXPECT_TRUE(key.Modified);
  EXPECT_EQ(key.Results.Find("HTTP://A"), nullptr);
  TOneResult stranger;
  EXPECT_FALSE(key.DeleteResult(&stranger));
}
