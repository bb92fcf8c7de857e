#include "core/store/result_file_name.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/store/TOneKey.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {
constexpr double kNoon = 45123.5;  // 43 200 000 ms after midnight
}

TEST(ResultFileName, ValidNamesStayAndAnyKeywordsResultsStayInsideTheFolderAndApart) {
  EXPECT_EQ(MillisecondOfDay(45123.99999998), 86399998);
  EXPECT_EQ(MillisecondOfDay(-1.25), 21600000);
  EXPECT_EQ(MillisecondOfDay(1e308), 0);
  EXPECT_EQ(MillisecondOfDay(std::nan("")), 0);
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
    ASSERT_TRUE(reread.LoadResults(results));
    EXPECT_EQ(reread.Results[0].Url, "http://" + std::to_string(i));
  }
}
