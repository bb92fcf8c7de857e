#include "core/pages/page_folder.h"

#include <gtest/gtest.h>

#include "core/net/url.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

TEST(PageFolderTest, ANameTheFileSystemRefusesIsMappedAndFoundAgain) {
  TempDir localFiles;
  const std::string shortUrl = "http://example.com/a?b=c";
  EXPECT_EQ(CreateLocalPageFolder(localFiles.Path(), shortUrl), localFiles / SafeName(shortUrl));

  const std::string longUrl = "http://example.com/" + std::string(400, 'x') + "?q=*|";
  const std::filesystem::path mapped = CreateLocalPageFolder(localFiles.Path(), longUrl);
  ASSERT_FALSE(mapped.empty());
  EXPECT_TRUE(std::filesystem::is_directory(mapped));
  EXPECT_LE(mapped.filename().string().size(), 255u);
  EXPECT_EQ(FindLocalPageFolder(localFiles.Path(), longUrl), mapped);
  EXPECT_EQ(FindLocalPageFolder(localFiles.Path(), shortUrl), localFiles / SafeName(shortUrl));
  // Another long URL with the same start gets a folder of its own.
  EXPECT_NE(CreateLocalPageFolder(localFiles.Path(), longUrl + "2"), mapped);
  // An empty address never means the LocalFile folder itself.
  EXPECT_NE(CreateLocalPageFolder(localFiles.Path(), ""), localFiles.Path());
}

}  // namespace
}  // namespace quorvex::test
