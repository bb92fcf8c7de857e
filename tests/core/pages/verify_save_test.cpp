#include <gtest/gtest.h>

#include "core/pages/TVerify.h"
#include "core/store/key_list.h"
#include "support/loopback_server.h"
#include "support/test_support.h"
#include "verify_test_support.h"

namespace quorvex::test {
namespace {

// The keyword files are saved now and then while a run goes on; a page state set after such a save
// must still reach the file at the next one.
TEST(VerifySave, PageStatesSetAfterASaveDuringTheRunAreSavedNextTime) {
  LoopbackServer server({ScriptedReply{true, 300, "HTTP/1.0 200 OK\r\n\r\nok", false}});
  TempDir dir;
  TOneKey key("kept", 1, 0, 0);
  AddResults(key, {server.Url("/page")});
  QueueDispatcher dispatcher;
  RecordingVerifyDisplay display;
  StartVerify(key, kVerifyMode, dispatcher, display, dir / "LocalFile");
  while (display.rowUrls.empty()) dispatcher.WaitAndRunPending(std::chrono::milliseconds(100));
  ASSERT_TRUE(SaveKeyList({&key}, dir / "AllKey.txt", dir.Path(), {}));  // the fetch is still waiting
  ASSERT_TRUE(RunUntilVerified(dispatcher, key));
  StopVerifiers(key);
  ASSERT_TRUE(SaveKeyList({&key}, dir / "AllKey.txt", dir.Path(), {}));

  TOneKey read("kept", 1, 0, 0);
  ASSERT_TRUE(read.LoadResults(dir.Path()));
  EXPECT_EQ(PageStates(read), std::vector<int>{kPageVerified});
}

}  // namespace
}  // namespace quorvex::test
