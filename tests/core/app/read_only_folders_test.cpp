#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "core/app/ProgramDirs.h"
#include "core/app/user_data_dir.h"
#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/engines/EngineIndex.h"
#include "support/child_process.h"
#include "support/mounted_folder.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

const std::filesystem::path kShippedEngines = std::filesystem::path(QUORVEX_SOURCE_DIR) / "data" / "engines";

}  // namespace

TEST(ReadOnlyFolders, TheCommandLineSearchesAndNamesWhatItCannotKeep) {
  // The program beside its engines in one read-only folder, run in another read-only folder.
  test::MountedFolder program("64m");
  test::MountedFolder work;
  QUORVEX_REQUIRE_MOUNT(program);
  QUORVEX_REQUIRE_MOUNT(work);
  std::filesystem::copy_file(QUORVEX_CLI_PATH, program / "quorvex-cli");
  std::filesystem::copy(kShippedEngines, program / "Engines1", std::filesystem::copy_options::recursive);
  ASSERT_TRUE(program.RemountReadOnly() && work.RemountReadOnly());

  test::TempDir output;
  const int exitCode = test::RunProgram({(program / "quorvex-cli").string(), "search", "--save", "rainwater harvesting"},
                                        output / "out", output / "err", work.Path());
  const std::string err = ReadWholeFile(output / "err").value_or("");
  EXPECT_EQ(exitCode, 1) << err;
  const std::vector<std::string> results = SplitLines(ReadWholeFile(output / "out").value_or(""));
  EXPECT_EQ(std::count_if(results.begin(), results.end(), [](const std::string& line) { return line.starts_with("S\t"); }),
            12);
  EXPECT_NE(err.find("could not save"), std::string::npos) << err;
  EXPECT_NE(err.find("\nAllKey.txt"), std::string::npos) << err;
  EXPECT_NE(err.find("SearchResult/rainwater harvesting"), std::string::npos) << err;
}

TEST(ReadOnlyFolders, TheWindowsStartUpMovesAReadOnlyProgramFolderToTheUsersDataFolder) {
  test::MountedFolder program;
  QUORVEX_REQUIRE_MOUNT(program);
  std::filesystem::copy(kShippedEngines, program / "Engines1", std::filesystem::copy_options::recursive);
  ASSERT_TRUE(program.RemountReadOnly());
  test::TempDir home;
  ::setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
  const std::string before = ProgramDir();
  SetProgramDir(program.Path());

  const auto moved = UseUserDataDirIfReadOnly();
  ::unsetenv("XDG_DATA_HOME");
  ASSERT_EQ(moved, home / "quorvex");
  EngineIndex index;
  EXPECT_TRUE(index.Load(std::filesystem::path(EngineDir()) / EngineIndex::kFileName));
  EXPECT_TRUE(index.Save(std::filesystem::path(EngineDir()) / EngineIndex::kFileName));
  CreateDataFolders();
  EXPECT_TRUE(WriteFileAtomically(std::filesystem::path(SearchResultDir()) / "kept", "results"));
  SetProgramDir(before);
}
