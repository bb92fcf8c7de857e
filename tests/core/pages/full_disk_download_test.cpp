#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "core/pages/TVerify.h"
#include "core/pages/page_folder.h"
#include "support/loopback_server.h"
#include "support/mounted_folder.h"
#include "verify_test_support.h"

namespace quorvex::test {

TEST(FullDiskDownload, APageThatFindsNoRoomFailsWithItsReasonAndTheEarlierCopyStays) {
  MountedFolder disk;
  QUORVEX_REQUIRE_MOUNT(disk);
  LoopbackServer server(
      {ScriptedReply{true, 0, "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<p>new copy</p>", false}});
  const std::string url = server.Url("/page.htm");
  const std::filesystem::path folder = CreateLocalPageFolder(disk.Path(), url);
  ASSERT_TRUE(WriteFileAtomically(folder / "0.htm", "<p>earlier copy</p>"));
  disk.Fill();

  QueueDispatcher dispatcher;
  RecordingVerifyDisplay display;
  TOneKey key("pages", 0, 0, 0);
  AddResults(key, {url});
  StartVerify(key, kDownloadMode, dispatcher, display, disk.Path());
  ASSERT_TRUE(RunUntilVerified(dispatcher, key));

  EXPECT_EQ(PageStates(key), std::vector<int>{kPageFailed});
  EXPECT_TRUE(key.Results[0].LocalFile.empty());
  ASSERT_EQ(display.notSaved.size(), 1u);
  EXPECT_NE(display.notSaved[0].find("No space left on device"), std::string::npos) << display.notSaved[0];
  EXPECT_EQ(ReadWholeFile(folder / "0.htm"), "<p>earlier copy</p>");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

}  // namespace quorvex::test
