#include <gtest/gtest.h>

#include "support/kept_files.h"
#include "support/mounted_folder.h"

using namespace quorvex;

TEST(FullDisk, ASaveThatFindsNoRoomKeepsEveryOldFileWholeAndNamesEachOnce) {
  test::MountedFolder disk;
  QUORVEX_REQUIRE_MOUNT(disk);
  ASSERT_TRUE(test::KeptFiles(0).Save(disk.Path()).Empty());
  const auto before = test::ReadKeptFiles(disk.Path());
  disk.Fill();

  const UnsavedFiles unsaved = test::KeptFiles(1).Save(disk.Path());
  EXPECT_EQ(test::ReadKeptFiles(disk.Path()), before);
  EXPECT_EQ(unsaved.Files().size(), before.size());
  const std::string message = unsaved.Message();
  for (const auto& [file, text] : before)
    EXPECT_NE(message.find(std::filesystem::path(file).filename().string()), std::string::npos) << file;
  // Nothing half-written is left beside them either.
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(disk.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, before.size() + 1);  // and the filler
}
