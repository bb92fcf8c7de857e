#include "core/store/TOneResult.h"

#include <gtest/gtest.h>

using namespace quorvex;

TEST(TOneResultLine, ElevenQuotedFieldsRoundTrip) {
  TOneResult result;
  result.Title = "T \xB9\xFA, comma";  // GB bytes travel as they are
  result.Url = "http://a/?q=1,2";
  result.Language = kLanguageGB | kLanguageEnglish;
  result.Engines = "Alpha;Beta";
  result.Score = -17;
  result.LocalFile = "never saved";
  result.Visited = 1;
  result.PageState = kPageFailed;
  result.Found = 45123.536458333336;  // exactly: a result file is named from such a date
  result.Reserved1 = 0.25;
  const std::string line = result.ToLine();
  EXPECT_EQ(line,
            "\"T \xB9\xFA, comma\",\"http://a/?q=1,2\",\"\",\"5\",\"Alpha;Beta\",\"1\",\"3\",\"-17\","
            "\"45123.536458333336\",\"0.25\",\"0\"");
  const TOneResult read = TOneResult::FromLine(line);
  EXPECT_EQ(read.ToLine(), line);
  EXPECT_EQ(read.Found, result.Found);
  EXPECT_EQ(read.LocalFile, "");
}

TEST(TOneResultLine, QuotesAndLineBreaksNeverBreakTheRecord) {
  TOneResult result;
  result.Title = "say \"hi\"\nnow";
  result.Summary = std::string("nul\0inside", 10);
  result.Url = "http://a/?q=\"x y\",c\r\n";
  result.Engines = "A\nB";
  result.Score = 9;
  const std::string line = result.ToLine();
  EXPECT_EQ(line.find_first_of(std::string("\n\0", 2)), std::string::npos);
  EXPECT_NE(line.find(R"("http://a/?q=""x y"",c")"), std::string::npos) << line;  // only the quote is doubled
  const TOneResult read = TOneResult::FromLine(line);
  EXPECT_EQ(read.Title, "say 'hi' now");  // titles and summaries hold single quotes instead
  EXPECT_EQ(read.Summary, "nul inside");
  EXPECT_EQ(read.Url, "http://a/?q=\"x y\",c");  // the same address, as a browser reads it
  EXPECT_EQ(read.Engines, "A B");
  EXPECT_EQ(read.Score, 9);
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
  const TOneResult odd = TOneResult::FromLine(R"("t","u","s","257","E","x","2","9e9","45123,5","1E-5","1,2,3")");
  EXPECT_EQ(odd.Url, "u");
  EXPECT_EQ(odd.Language, 1);
  EXPECT_EQ(odd.Visited, 0);
  EXPECT_EQ(odd.Score, 0);
  EXPECT_EQ(odd.Found, 45123.5);
  EXPECT_EQ(odd.Reserved1, 1e-5);
  EXPECT_EQ(odd.Reserved2, 0);
}
