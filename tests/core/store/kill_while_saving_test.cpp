#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "core/common/file_io.h"
#include "support/child_process.h"
#include "support/kept_files.h"
#include "support/mounted_folder.h"
#include "support/test_support.h"

using namespace quorvex;
using namespace std::chrono_literals;

namespace {

size_t TemporaryFiles(const std::filesystem::path& folder) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    count += entry.path().filename().string().find(".quorvex-save") != std::string::npos;
  return count;
}

}  // namespace

// A program killed at a random moment of its saves leaves every kept file whole, in the version before
// or after that save, and the temporary files of the save it was killed in never spoil the next start.
TEST(KillWhileSaving, EveryFileIsTheOldOrTheNewVersionWhereverTheKillLands) {
  std::map<std::string, std::string> versions[2];
  for (int version : {0, 1}) {
    test::TempDir folder;
    ASSERT_TRUE(test::KeptFiles(version).Save(folder.Path()).Empty());
    versions[version] = test::ReadKeptFiles(folder.Path());
  }
  ASSERT_EQ(versions[0].size(), 9u);  // AllKey.txt, four result files, KeyTree, Config, option, Index

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 generator(seed);
  // In memory where there is a memory file system: a kill tests what the process leaves, which does not
  // depend on the disk, and the many rounds then take seconds instead of a minute.
  const std::filesystem::path memory = "/dev/shm";
  test::TempDir folder(std::filesystem::is_directory(memory) ? memory : std::filesystem::temp_directory_path());
  int rounds = 0;
  for (; rounds < 300 && !HasFailure(); ++rounds) {
    test::PipedChild child({QUORVEX_SAVE_LOOP_CHILD, folder.Path().string()});
    ASSERT_TRUE(child.ReadUntil("\n", 10s)) << child.Said();
    // Anywhere within the next two full saves, so that every file is caught mid-write now and then.
    const long oneSave = std::stol(child.Said().substr(child.Said().find(' ')));
    std::this_thread::sleep_for(std::chrono::microseconds(generator() % (2 * oneSave + 1)));
    child.Signal(SIGKILL);
    child.WaitStatus();

    const std::map<std::string, std::string> read = test::ReadKeptFiles(folder.Path());
    for (const auto& [file, text] : versions[0]) {
      const auto found = read.find(file);
      ASSERT_NE(found, read.end()) << file << " is unreadable after round " << rounds;
      EXPECT_TRUE(found->second == text || found->second == versions[1].at(file))
          << file << " is neither version after round " << rounds << ":\n" << found->second;
    }
  }
  std::cout << rounds << " rounds, " << TemporaryFiles(folder.Path()) << " temporary files left by the kills\n";
  // A save of a copy still running (this process) is not stale.
  const std::string running = "AllKey.txt.quorvex-save" + std::to_string(::getpid()) + "-0";
  folder.Write(running, "being written");
  for (const char* dir : {"", "SearchResult", "Engines1"}) RemoveStaleTemporaryFiles(folder / dir);
  EXPECT_TRUE(TemporaryFiles(folder.Path()) == 1u && std::filesystem::exists(folder / running));
  EXPECT_EQ(test::ReadKeptFiles(folder.Path()).size(), versions[0].size());
}

TEST(FullDisk, ASaveThatFindsNoRoomKeepsEveryOldFileWholeAndNamesEachOnce) {
  test::MountedFolder disk;
  QUORVEX_REQUIRE_MOUNT(disk);
  ASSERT_TRUE(test::KeptFiles(0).Save(disk.Path()).Empty());
  const auto before = test::ReadKeptFiles(disk.Path());
  disk.Fill();

  const UnsavedFiles unsaved = test::KeptFiles(1).Save(disk.Path());
  EXPECT_TRUE(test::ReadKeptFiles(disk.Path()) == before && unsaved.Files().size() == before.size());
  const std::string message = unsaved.Message();
  for (const auto& [file, text] : before)
    EXPECT_NE(message.find(std::filesystem::path(file).filename().string()), std::string::npos) << file;
  // Nothing half-written is left beside them either.
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(disk.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, before.size() + 1);  // and the filler
}
