#include "core/app/ProgramDirs.h"

#include <gtest/gtest.h>

#include "core/update/engine_archive.h"
#include "support/test_support.h"

using namespace quorvex;

TEST(ProgramDirs, FoldersHangBelowTheProgramAndStartUpMakesTheDataFolders) {
  test::TempDir dir;
  SetProgramDir(dir / "new/program");
  const std::string program = (dir / "new/program/").string();
  EXPECT_EQ(ProgramDir(), program);
  EXPECT_EQ(EngineDir(), program + "Engines1/");
  EXPECT_EQ(LocalEngineArchive(), program + "Engine1-1.zip");
  CreateDataFolders();  // with their missing parents
  for (const char* folder : {"SearchResult", "Advertiser", "LocalFile"}) {
    EXPECT_TRUE(std::filesystem::is_directory(program + folder)) << folder;
  }
  EXPECT_FALSE(std::filesystem::exists(EngineDir()));  // filled by the engine update alone

  // A folder that cannot be made is passed over; the ones after it are still made.
  SetProgramDir(dir / "blocked");
  dir.Write("blocked/SearchResult", "a file where the folder should be");
  CreateDataFolders();
  EXPECT_TRUE(std::filesystem::is_directory(dir / "blocked/LocalFile"));
}
