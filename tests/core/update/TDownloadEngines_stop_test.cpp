#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "core/common/dispatcher.h"
#include "core/update/TDownloadEngines.h"
#include "support/silent_name_server.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

TEST(EngineUpdateStop, DestroyingTheUpdateInsideANameLookupReturnsAtOnce) {
  SilentNameServer nameServer;
  TempDir dir;
  QueueDispatcher dispatcher;
  TDownloadEngines::Settings settings;
  settings.Url = "http://blackhole.test/Engines1.zip";
  settings.LocalArchive = dir / "Engines1.zip";
  settings.EngineFolder = dir / "Engines1";
  settings.OptionFile = dir / "option.txt";
  int reloads = 0;
  auto engines = std::make_unique<TDownloadEngines>(dispatcher, [&reloads] { ++reloads; }, settings);
  engines->Start();
  ASSERT_TRUE(nameServer.WaitForQuery());

  const auto before = std::chrono::steady_clock::now();
  engines->Stop();
  EXPECT_TRUE(engines->Finished());
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300));
  EXPECT_EQ(reloads, 0);
}

}  // namespace
}  // namespace quorvex::test
