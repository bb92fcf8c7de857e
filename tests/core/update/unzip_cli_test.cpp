#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace quorvex::test {
namespace {

TEST(UnzipCommand, PrintsTheCountAndReportsFailures) {
  const TempDir dir;
  const CliResult done = RunCli({"unzip", FixturePath("zip/go-unix.zip").string(), (dir / "out").string()});
  EXPECT_EQ(done.exitCode, 0) << done.err;
  EXPECT_EQ(done.out, "3\n");
  EXPECT_TRUE(std::filesystem::exists(dir / "out/dir/bar"));

  const CliResult damaged =
      RunCli({"unzip", FixturePath("zip/libzip-incons-data.zip").string(), (dir / "bad").string()});
  EXPECT_EQ(damaged.exitCode, 0);
  EXPECT_EQ(damaged.out, "0\n");
  EXPECT_EQ(damaged.err, "skipped\ta\tbad CRC\n");

  const CliResult broken =
      RunCli({"unzip", FixturePath("zip/libzip-incons-cdoffset.zip").string(), (dir / "x").string()});
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_NE(broken.err.find("Not a valid zip file!"), std::string::npos) << broken.err;

  EXPECT_EQ(RunCli({"unzip", "only-one-argument"}).exitCode, 2);
  EXPECT_EQ(RunCli({"unzip", "--help"}).exitCode, 0);
}

}  // namespace
}  // namespace quorvex::test
