#include "core/config/Options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/app/LayoutConfig.h"
#include "core/config/ProgramDirs.h"
#include "core/config/user_data_dir.h"
#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/engines/EngineIndex.h"
#include "core/update/engine_archive.h"
#include "support/child_process.h"
#include "support/mounted_folder.h"
#include "support/test_support.h"

using namespace quorvex;

TEST(Options, FileRoundTripKeepsOrderMalformedLinesAndCrLfAndTimeOutsDefaultToSixty) {
  test::TempDir dir;
  const auto file = dir.Write("option.txt", "EnableProxy=1\nbroken line\r\nProxy=host\r\nProxyPort=3128\r\n");
  OptionsTable table;
  table.LoadFrom(file);
  EXPECT_EQ(table.ProxyAddress(), "host:3128");
  table.SetValue("EnableProxy", "0");
  EXPECT_EQ(table.ProxyAddress(), "");  // switched off; the proxy is kept in the file
  ASSERT_TRUE(table.SaveTo(file));
  EXPECT_EQ(ReadWholeFile(file).value(), "EnableProxy=0\r\nbroken line\r\nProxy=host\r\nProxyPort=3128\r\n");

  table.LoadFrom(dir / "missing.txt");  // a missing file leaves the table alone
  EXPECT_TRUE(table.Value("ProxyPort") == "3128" && table.TimeOutSeconds("SearchTimeOut") == 60);
  table.SetValue("SearchTimeOut", "0");
  EXPECT_EQ(table.TimeOutSeconds("SearchTimeOut"), 0);
}

TEST(Options, ConcurrentSavesLeaveTheFileEqualToTheTable) {
  test::TempDir dir;
  const auto file = dir / "option.txt";
  OptionsTable table;
  for (int round = 0; round < 100; ++round) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
      threads.emplace_back([&table, &file, t, round] {
        table.SetValue("Key" + std::to_string(t), std::to_string(round));
        table.SaveTo(file);
      });
    }
    for (auto& thread : threads) thread.join();
    ASSERT_EQ(ReadWholeFile(file).value(), NameValueList(table.Lines()).ToText()) << "round " << round;
  }
}

namespace {
TLayoutConfig WindowNow() {
  TLayoutConfig now;  // maximised
  now.Left = 7;
  now.Top = 8;
  now.Width = 900;
  now.Height = 700;
  return now;
}
}  // namespace

TEST(LayoutConfig, MissingFileAndMissingKeysGiveTheDefaultsAndTheWindowsOwnBounds) {
  test::TempDir dir;
  const TLayoutConfig missing = TLayoutConfig::Load(dir / "Config.txt", WindowNow());
  EXPECT_EQ(missing.ToList().ToText(), WindowNow().ToList().ToText());

  NameValueList list;
  list.SetText("tvKey=abc\r\npnShowKey=\r\npnShowTree=0\r\nWindowState=0\r\nWidth=640\r\nTitleFont=1,2,3,4\r\n"
               "SummaryFont=255,1,x,29,Sa\"n\"s\r\nDisplayGrid=0\r\nSummaryLine=9\r\n");
  TLayoutConfig current = WindowNow();
  current.Look.Font(TListFont::Title).Face = "Created";
  const TLayoutConfig read = TLayoutConfig::FromList(list, current);
  // An unreadable number takes the default, a panel is shown unless exactly "0", a missing bound is the
  // window's current one.
  EXPECT_TRUE(read.TreeHeight == 130 && read.ShowKey && !read.ShowTree && !read.SelectedTreeKey.has_value());
  // Four items leave the font alone.
  EXPECT_TRUE(read.WindowState == TWindowState::Normal && read.Width == 640 && read.Left == 7 &&
              read.Look.Font(TListFont::Title).Face == "Created");
  // Bold, underline and strike-out kept; the unknown bit 16 dropped.
  EXPECT_EQ(read.Look.Font(TListFont::Summary), (TFontSpec{255, 1, 14, 13, "Sa\"n\"s"}));
  EXPECT_EQ(TLayoutConfig::FromList(read.ToList(), WindowNow()).Look, read.Look);  // the quotes read back too
  EXPECT_TRUE(!read.Look.DisplayGrid && read.Look.SummaryLine == 5);  // kept to 0..5

  list.SetText("WindowState=2\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n");
  EXPECT_EQ(TLayoutConfig::FromList(list, WindowNow()).Width, 900);  // maximised ignores the bounds
}

TEST(ProgramDirs, FoldersHangBelowTheProgramAndStartUpMakesTheDataFolders) {
  test::TempDir dir;
  SetProgramDir(dir / "new/program");
  const std::string program = (dir / "new/program/").string();
  EXPECT_TRUE(ProgramDir() == program && EngineDir() == program + "Engines1/" &&
              LocalEngineArchive() == program + "Engine1-1.zip");
  CreateDataFolders();  // with their missing parents
  for (const char* folder : {"SearchResult", "Advertiser", "LocalFile"})
    EXPECT_TRUE(std::filesystem::is_directory(program + folder)) << folder;
  EXPECT_FALSE(std::filesystem::exists(EngineDir()));  // filled by the engine update alone

  // A folder that cannot be made is passed over; the ones after it are still made.
  SetProgramDir(dir / "blocked");
  dir.Write("blocked/SearchResult", "a file where the folder should be");
  CreateDataFolders();
  EXPECT_TRUE(std::filesystem::is_directory(dir / "blocked/LocalFile"));
}

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
  EXPECT_TRUE(err.find("could not save") != std::string::npos && err.find("\nAllKey.txt") != std::string::npos &&
              err.find("SearchResult/rainwater harvesting") != std::string::npos)
      << err;
}

TEST(ReadOnlyFolders, TheWindowsStartUpMovesAReadOnlyProgramFolderToTheUsersDataFolder) {
  test::MountedFolder program;
  QUORVEX_REQUIRE_MOUNT(program);
  std::filesystem::copy(kShippedEngines, program / "Engines1", std::filesystem::copy_options::recursive);
  ASSERT_TRUE(WriteFileAtomically(program / "help.html", "new help"));
  std::filesystem::create_directories(program / "cache/0");
  ASSERT_TRUE(WriteFileAtomically(program / "cache/0/0.htm", "tip"));
  ASSERT_TRUE(program.RemountReadOnly());
  test::TempDir home;
  home.Write("quorvex/help.html", "old help");  // of the program before an upgrade
  ::setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
  const std::string before = ProgramDir();
  SetProgramDir(program.Path());

  const auto moved = UseUserDataDirIfReadOnly();
  ::unsetenv("XDG_DATA_HOME");
  ASSERT_EQ(moved, home / "quorvex");
  EXPECT_TRUE(ReadWholeFile(home / "quorvex/help.html") == "new help" &&
              ReadWholeFile(home / "quorvex/cache/0/0.htm") == "tip");
  EngineIndex index;
  const std::filesystem::path indexFile = std::filesystem::path(EngineDir()) / EngineIndex::kFileName;
  EXPECT_TRUE(index.Load(indexFile) && index.Save(indexFile));
  CreateDataFolders();
  EXPECT_TRUE(WriteFileAtomically(std::filesystem::path(SearchResultDir()) / "kept", "results"));
  SetProgramDir(before);
}

TEST(ReadOnlyFolders, AnInstalledCopyKeepsItsDataInTheUsersFolderAlsoWhereItCouldWrite) {
  test::TempDir program;
  program.Write(kInstalledMarker, "");  // a root user could write here: the marker decides
  test::TempDir home;
  ::setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
  const std::string before = ProgramDir();
  SetProgramDir(program.Path());
  const auto moved = UseUserDataDirIfReadOnly();
  ::unsetenv("XDG_DATA_HOME");
  SetProgramDir(before);
  EXPECT_EQ(moved, home / "quorvex");
}
