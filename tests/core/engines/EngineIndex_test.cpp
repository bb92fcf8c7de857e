#include "core/engines/EngineIndex.h"

#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

const std::string kIndex =
    "; kept as it is\r\n[News,3]\r\nDaily Wire=daily.txt\r\nOld Press=oldpress.txt,0\r\nOn Again=on.txt,1\r\n"
    "Odd Flag=odd.txt,0,more\r\nSpaced=my engine.txt,0\r\nno equals sign\r\n\r\n[Web]\r\nAlpha=alpha.txt\r\n"
    "[Pictures,x]\r\n[Blank,3] \r\n[]\r\n[News,4]\r\nShadowed=shadow.txt\r\n";

class EngineIndexTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(index_.Load(dir_.Write(EngineIndex::kFileName, kIndex))); }

  std::vector<std::string> CheckedNames(const EngineIndex& index) const {
    std::vector<std::string> names;
    for (const EngineRow& row : index.Engines("News")) {
      if (row.Checked) names.push_back(row.Name);
    }
    return names;
  }

  test::TempDir dir_;
  EngineIndex index_;
};

}  // namespace

TEST_F(EngineIndexTest, CategoriesAndTheirEngines) {
  EXPECT_EQ(index_.CategoryNames(), (std::vector<std::string>{"News", "Web", "Pictures", "Blank", "News"}));
  const std::vector<EngineCategory> categories = index_.Categories();
  EXPECT_EQ(categories[0].Picture, 3);
  EXPECT_EQ(categories[1].Picture, std::nullopt);  // the row keeps its default picture
  EXPECT_EQ(categories[3].Picture, 10);            // the blank was cut instead of the bracket: "3]"

  const std::vector<EngineRow> rows = index_.Engines("News");  // the first of two headers
  ASSERT_EQ(rows.size(), 6u);                                  // a blank line lists no engine
  EXPECT_EQ(rows[5].Name, "");  // no "=": no name
  EXPECT_EQ(CheckedNames(index_), (std::vector<std::string>{"Daily Wire", "On Again", "Odd Flag", ""}));
  EXPECT_TRUE(index_.Engines("news").empty());  // letter case counts
}

TEST_F(EngineIndexTest, ChangingAFlagRewritesOnlyThatLineAndSurvivesASave) {
  EXPECT_TRUE(index_.SetChecked(3, true));
  EXPECT_TRUE(index_.SetChecked(4, false));
  EXPECT_TRUE(index_.SetChecked(5, true));  // further items go at the first rewrite
  EXPECT_TRUE(index_.SetChecked(6, true));
  EXPECT_EQ(std::vector<std::string>(index_.Lines().begin() + 3, index_.Lines().begin() + 7),
            (std::vector<std::string>{"Old Press=oldpress.txt", "On Again=on.txt,0", "Odd Flag=odd.txt",
                                      "Spaced=my engine.txt"}));  // a blank in a file name survives
  const std::vector<std::string> lines = index_.Lines();
  for (size_t line : {0, 1, 7, 99}) EXPECT_FALSE(index_.SetChecked(line, false));  // no engine line there
  EXPECT_EQ(index_.Lines(), lines);

  ASSERT_TRUE(index_.Save(dir_ / EngineIndex::kFileName));
  EngineIndex reread;
  ASSERT_TRUE(reread.Load(dir_ / EngineIndex::kFileName));
  EXPECT_EQ(CheckedNames(reread), (std::vector<std::string>{"Daily Wire", "Old Press", "Odd Flag", "Spaced", ""}));
  EXPECT_EQ(ReadWholeFile(dir_ / EngineIndex::kFileName).value().substr(0, 25), "; kept as it is\r\n[News,3]");
  EXPECT_FALSE(reread.Load(dir_ / "missing.txt"));
  EXPECT_EQ(reread.Lines(), lines);
}

TEST_F(EngineIndexTest, ASearchGetsTheCheckedEnginesCutBeforeTheFirstComma) {
  index_.SetChecked(2, false);
  EXPECT_EQ(index_.SearchEntries("News"),
            (std::vector<std::string>{"On Again=on.txt", "Odd Flag=odd.txt", "no equals sign"}));
  EXPECT_EQ(index_.SearchEntries("Web"), (std::vector<std::string>{"Alpha=alpha.txt"}));
}
