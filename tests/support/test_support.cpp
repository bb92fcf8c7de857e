#include "support/test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "core/common/file_io.h"
#include "support/child_process.h"

namespace quorvex::test {

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path()) {}

TempDir::TempDir(const std::filesystem::path& parent) {
  std::string pattern = (parent / "quorvex-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): a file name, then its bytes
std::filesystem::path TempDir::Write(const std::string& name, const std::string& bytes) const {
  const auto file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

std::filesystem::path FixturePath(const std::string& relative) {
  return std::filesystem::path(QUORVEX_FIXTURES_DIR) / relative;
}

std::string ReadFixture(const std::string& relative) {
  const auto bytes = ReadWholeFile(FixturePath(relative));
  EXPECT_TRUE(bytes.has_value()) << "missing fixture " << relative;
  return bytes.value_or(std::string());
}

CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& workDir) {
  const TempDir capture;
  std::vector<std::string> command = {QUORVEX_CLI_PATH};
  command.insert(command.end(), args.begin(), args.end());
  CliResult result;
  result.exitCode = RunProgram(command, capture / "out", capture / "err", workDir);
  result.out = ReadWholeFile(capture / "out").value_or("");
  result.err = ReadWholeFile(capture / "err").value_or("");
  return result;
}

}  // namespace quorvex::test
