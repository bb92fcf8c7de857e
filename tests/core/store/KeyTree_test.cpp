#include "core/store/KeyTree.h"

#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "support/test_support.h"

using namespace quorvex;

TEST(KeyTree, LevelsFollowTabsAndBlanksAndClimbBackToAncestors) {
  const TKeyTreeLoad load = ParseKeyTree("Top\r\n\tA\r\n\t\tA1\r\n \tA2 blank\r\nSecond\r\n\tB\r\n");
  ASSERT_FALSE(load.Error);
  const std::vector<TKeyTreeNode> expected = {{0, -1, "Top"},    {1, 0, "A"}, {2, 1, "A1"},
                                              {2, 1, "A2 blank"}, {0, -1, "Second"}, {1, 4, "B"}};
  EXPECT_EQ(load.Nodes, expected);
  EXPECT_TRUE(ParseKeyTree("").Nodes.empty());
}

TEST(KeyTree, FileRoundTripAndMissingFile) {
  test::TempDir dir;
  EXPECT_FALSE(LoadKeyTree(dir / "KeyTree.txt"));
  ASSERT_TRUE(SaveKeyTree(dir / "KeyTree.txt", DefaultKeyTree()));
  EXPECT_EQ(ReadWholeFile(dir / "KeyTree.txt").value().substr(0, 25), "All Classify\r\n\tSoftware\r\n");
  const auto back = LoadKeyTree(dir / "KeyTree.txt");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Nodes, DefaultKeyTree());
}
