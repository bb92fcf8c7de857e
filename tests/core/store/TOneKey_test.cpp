#include "core/store/TOneKey.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/common/file_io.h"
#include "core/store/KeyTree.h"
#include "core/store/TOneResult.h"
#include "core/store/TResultList.h"
#include "core/store/result_file_name.h"
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

TEST(TOneKeyLine, RoundTripsWithTheCategoryByNameAndReadsShortAndOddLines) {
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
  EXPECT_TRUE(read->Category == 1 && read->State == 3 && !read->Loaded);
  // A category that is gone reads as -1 and is written back with an empty name.
  EXPECT_EQ(Reread(line, {"Web"}), R"("kw ""q""","","2","45123.5","12","Tree, node","5","7")");

  const auto five = TOneKey::FromLine(R"("five","Web","x","not a date","45123,5")", kCategories);
  ASSERT_NE(five, nullptr);
  // Five items or fewer: an empty record that is still listed.
  EXPECT_TRUE(five->State == 0 && five->Keyword.empty() && five->PerEngineLimit == 20);
  EXPECT_EQ(Reread(R"("seven","Web","x","not a date","y","c","4")", kCategories),
            R"("seven","Web","0","0","0","c","4","0")");
  // Six items, and a date written under a decimal-comma locale.
  EXPECT_EQ(Reread(R"("old","Web","1","45123,5","3","")", kCategories), R"("old","Web","1","45123.5","3","","0","0")");
}

TEST(TOneKeyResults, SavedFileHoldsResultsWithAUrlAndReadsBackAlsoAfterAddingWhileUnloaded) {
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
  EXPECT_TRUE(reread.Loaded && reread.ResultCount == 2 && reread.Results.Find("http://b.COM") == &reread.Results[1]);

  // A keyword added to while unloaded reads its file first, once.
  const auto unloaded = TOneKey::FromLine(key.ToLine(kCategories), kCategories);
  ASSERT_NE(unloaded, nullptr);
  unloaded->EnsureLoaded(dir.Path());
  unloaded->EnsureLoaded(dir.Path());
  AddResult(*unloaded, "http://new");
  ASSERT_TRUE(unloaded->SaveResults(dir.Path()));
  TOneKey third("query", 45123.5, 0, 0);
  EXPECT_TRUE(third.LoadResults(dir.Path()) && third.ResultCount == 3 && third.Results.Find("HTTP://A.COM/X"));
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
  EXPECT_TRUE(key.Results[0].Found == 39000.5 && key.Results.KeyAt(1).empty() && key.Results[3].Visited == 1);
}

TEST(TOneKeyResults, DeletingAResultTakesItOutOfTheViewToo) {
  TOneKey key("k", 45123.5, 0, 0);
  TOneResult* doomed = &AddResult(key, "http://a");
  AddResult(key, "http://b");
  key.View = {&key.Results[1], doomed};
  EXPECT_TRUE(key.DeleteResult(doomed));
  EXPECT_EQ(key.View, (std::vector<TOneResult*>{&key.Results[0]}));
  EXPECT_TRUE(key.ResultCount == 1 && key.Modified && key.Results.Find("HTTP://A") == nullptr);
  TOneResult stranger;
  EXPECT_FALSE(key.DeleteResult(&stranger));
}

TEST(TOneResultLine, ElevenQuotedFieldsRoundTripAndHostileTextsNeverBreakTheRecord) {
  // GB bytes travel as they are; Found exactly, as a result file is named from such a date.
  const TOneResult result{"T \xB9\xFA, comma", "http://a/?q=1,2", "", kLanguageGB | kLanguageEnglish, "Alpha;Beta", -17,
                          "never saved", 1, kPageFailed, 45123.536458333336, 0.25, 0};
  const std::string line = result.ToLine();
  EXPECT_EQ(line,
            "\"T \xB9\xFA, comma\",\"http://a/?q=1,2\",\"\",\"5\",\"Alpha;Beta\",\"1\",\"3\",\"-17\","
            "\"45123.536458333336\",\"0.25\",\"0\"");
  const TOneResult read = TOneResult::FromLine(line);
  EXPECT_TRUE(read.ToLine() == line && read.Found == result.Found && read.LocalFile.empty());

  // Quotes and line breaks never break the record.
  const TOneResult hostile{"say \"hi\"\nnow", "http://a/?q=\"x y\",c\r\n", std::string("nul\0inside", 10), 0, "A\nB",
                           0, ""};
  const std::string hostileLine = hostile.ToLine();
  EXPECT_EQ(hostileLine.find_first_of(std::string("\n\0", 2)), std::string::npos);
  // Only the quote is doubled in the address.
  EXPECT_NE(hostileLine.find(R"("http://a/?q=""x y"",c")"), std::string::npos) << hostileLine;
  const TOneResult reread = TOneResult::FromLine(hostileLine);
  // Titles and summaries hold single quotes instead; the address is the same, as a browser reads it.
  const TOneResult expected{"say 'hi' now", "http://a/?q=\"x y\",c", "nul inside", 0, "A B", 0, ""};
  EXPECT_EQ(reread.ToLine(), expected.ToLine());
}

TEST(TOneResultLine, MalformedLinesAndOddNumbers) {
  for (const std::string bad :
       {"", R"("t","u","s","1","E","1","2","3","4","5")", R"("t","u","s","1","E","1","2","3","4","5","6","x")",
        R"("t","http://a"b","s","1","E","0","0","3","4","5","6")"}) {
    const TOneResult read = TOneResult::FromLine(bad);
    EXPECT_EQ(read.ToLine(), TOneResult().ToLine()) << bad;
  }
  // Not a number gives 0; 8-bit fields keep the low byte; a date written under a decimal-comma locale
  // reads "45123,5".
  EXPECT_EQ(TOneResult::FromLine(R"("t","u","s","257","E","x","2","9e9","45123,5","1E-5","1,2,3")").ToLine(),
            R"("t","u","s","1","E","0","2","0","45123.5","1e-05","0")");
}

TEST(TResultList, FindsTheFirstOfAKeyIgnoringCaseAlsoAfterRemovals) {
  TResultList list;
  EXPECT_EQ(TResultList::KeyOf("http://a.com/\xC4\xE3x"), "HTTP://A.COM/\xC4\xE3X");  // only a to z fold
  TOneResult& first = list.Add("K", TOneResult{});
  TOneResult& second = list.Add("K", TOneResult{});  // duplicate keys are kept
  TOneResult& page = list.Add("HTTP://A.COM/PAGE", TOneResult{});
  for (int i = 0; i < 1000; ++i) list.Add(std::to_string(i), TOneResult{});
  // Addresses survive the list's growth.
  EXPECT_TRUE(list.Find("k") == &first && list.Find("http://A.com/page") == &page);
  EXPECT_TRUE(list.Find("HTTP://A.COM/P\xC1GE") == nullptr && list.KeyAt(2) == "HTTP://A.COM/PAGE");

  TOneResult stranger;
  EXPECT_FALSE(list.Remove(&stranger));
  TOneResult& third = list.Add("K", TOneResult{});
  EXPECT_TRUE(list.Remove(&second) && list.Find("K") == &first);  // not the one a look-up finds
  EXPECT_TRUE(list.Remove(&first) && list.Find("K") == &third && list.Count() == 1002u && &list[0] == &page);
}

TEST(KeyTree, LevelsFollowTabsAndBlanksAndTheFileRoundTrips) {
  const TKeyTreeLoad load = ParseKeyTree("Top\r\n\tA\r\n\t\tA1\r\n \tA2 blank\r\nSecond\r\n\tB\r\n");
  ASSERT_FALSE(load.Error);
  const std::vector<TKeyTreeNode> expected = {{0, -1, "Top"},    {1, 0, "A"}, {2, 1, "A1"},
                                              {2, 1, "A2 blank"}, {0, -1, "Second"}, {1, 4, "B"}};
  EXPECT_TRUE(load.Nodes == expected && ParseKeyTree("").Nodes.empty());

  test::TempDir dir;
  EXPECT_FALSE(LoadKeyTree(dir / "KeyTree.txt"));
  ASSERT_TRUE(SaveKeyTree(dir / "KeyTree.txt", DefaultKeyTree()));
  EXPECT_TRUE(ReadWholeFile(dir / "KeyTree.txt").value().starts_with("All Classify\r\n\tSoftware\r\n"));
  const auto back = LoadKeyTree(dir / "KeyTree.txt");
  EXPECT_TRUE(back && back->Nodes == DefaultKeyTree());
}

constexpr double kNoon = 45123.5;  // 43 200 000 ms after midnight

TEST(ResultFileName, ValidNamesStayAndAnyKeywordsResultsStayInsideTheFolderAndApart) {
  EXPECT_TRUE(MillisecondOfDay(45123.99999998) == 86399998 && MillisecondOfDay(-1.25) == 21600000);
  EXPECT_TRUE(MillisecondOfDay(1e308) == 0 && MillisecondOfDay(std::nan("")) == 0);
  for (const std::string& keyword :
       std::vector<std::string>{"abc", "", "..", "a b\\c:*?", "\xC4\xE3\xBA\xC3", std::string(247, 'k')}) {
    EXPECT_EQ(ResultFileName(keyword, kNoon), keyword + "43200000");
  }

  test::TempDir dir;
  const auto results = dir / "SearchResult";
  std::filesystem::create_directories(results);
  // A name near the length limit must still save through its temporary file; the others cannot be
  // names as they stand and must neither escape nor meet each other or a keyword's own name ("a_b").
  const std::vector<std::string> keywords = {
      std::string(247, 'x'), "a_b", "../escape", "a/b", "a_b/", "/", std::string(300, 'y')};
  for (size_t i = 0; i < keywords.size(); ++i) {
    TOneKey key(keywords[i], kNoon, 0, 0);
    key.Results.Add("", TOneResult{});
    key.Results[0].Url = "http://" + std::to_string(i);
    ASSERT_TRUE(key.SaveResults(results)) << i;
    const std::string name = key.ResultFile(results).filename().string();
    EXPECT_TRUE(i < 2 || !std::isdigit(static_cast<unsigned char>(name.back()))) << name;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(results), {}), static_cast<long>(keywords.size()));
  for (size_t i = 0; i < keywords.size(); ++i) {
    TOneKey reread(keywords[i], kNoon, 0, 0);
    EXPECT_TRUE(reread.LoadResults(results) && reread.Results[0].Url == "http://" + std::to_string(i)) << i;
  }
}
