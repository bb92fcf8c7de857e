#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace quorvex::test {
namespace {

TEST(UnzipCommand, PrintsTheCountAndReportsFailures) {
  const TempDir dir;
  const auto run = [&dir](const char* archive) {
    return RunCli({"unzip", FixturePath(std::string("zip/") + archive).string(), (dir / archive).string()});
  };
  const CliResult done = run("go-unix.zip");
  EXPECT_EQ(done.exitCode, 0) << done.err;
  EXPECT_EQ(done.out, "3\n");
  EXPECT_TRUE(std::filesystem::exists(dir / "go-unix.zip/dir/bar"));
  const CliResult damaged = run("libzip-incons-data.zip");
  EXPECT_EQ(damaged.exitCode, 0);
  EXPECT_EQ(damaged.out, "0\n");
  EXPECT_EQ(damaged.err, "skipped\ta\tbad CRC\n");
  const CliResult broken = run("libzip-incons-cdoffset.zip");
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_NE(broken.err.find("Not a valid zip file!"), std::string::npos) << broken.err;
}

}  // namespace
}  // namespace quorvex::test
