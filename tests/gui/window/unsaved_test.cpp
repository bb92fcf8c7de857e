#include <filesystem>

#include "window_fixture.h"

namespace quorvex::test {

TEST_F(WindowTest, AShutDownThatCannotWriteAFileNamesItInOneWarningAndStillWritesTheOthers) {
  std::filesystem::create_directory(workDir_ / "Config.txt");  // no file can be renamed over a folder
  Open();
  MessageBoxAnswerer answerer;
  Close();
  ASSERT_EQ(answerer.texts.size(), 1);
  EXPECT_TRUE(answerer.texts[0].contains("Config.txt"));
  EXPECT_FALSE(answerer.texts[0].contains("AllKey.txt"));
  EXPECT_NE(ReadWorkFile("AllKey.txt"), "(missing)");
  EXPECT_NE(ReadProgramFile("Engines1/Index.txt"), "(missing)");
}

}  // namespace quorvex::test
