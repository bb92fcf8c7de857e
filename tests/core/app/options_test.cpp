#include "core/app/Options.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/common/file_io.h"
#include "support/test_support.h"

using namespace quorvex;

TEST(Options, FileRoundTripKeepsOrderMalformedLinesAndCrLf) {
  test::TempDir dir;
  const auto file = dir.Write("option.txt", "EnableProxy=1\nbroken line\r\nProxy=host\r\nProxyPort=3128\r\n");
  OptionsTable table;
  table.LoadFrom(file);
  EXPECT_EQ(table.ProxyAddress(), "host:3128");
  table.SetValue("EnableProxy", "0");
  EXPECT_EQ(table.ProxyAddress(), "");
  EXPECT_EQ(table.Value("proxy"), "host");  // the proxy is kept when it is switched off
  ASSERT_TRUE(table.SaveTo(file));
  EXPECT_EQ(ReadWholeFile(file).value(), "EnableProxy=0\r\nbroken line\r\nProxy=host\r\nProxyPort=3128\r\n");

  table.LoadFrom(dir / "missing.txt");  // a missing file leaves the table alone
  EXPECT_EQ(table.Value("ProxyPort"), "3128");
}

TEST(Options, TimeOutsDefaultToSixtyAndZeroMeansNoLimit) {
  OptionsTable table;
  EXPECT_EQ(table.TimeOutSeconds("SearchTimeOut"), 60);
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
    NameValueList expected(table.Lines());
    ASSERT_EQ(ReadWholeFile(file).value(), expected.ToText()) << "round " << round;
  }
}
