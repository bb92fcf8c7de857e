#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace quorvex::test {

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  // The same below parent.
  explicit TempDir(const std::filesystem::path& parent);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Writes bytes to a file below the folder (parents made) and returns its path.
  std::filesystem::path Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// Bytes of tests/fixtures/<relative>; the test fails when it is missing.
std::string ReadFixture(const std::string& relative);
std::filesystem::path FixturePath(const std::string& relative);

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the built quorvex-cli with args (no shell involved), optionally in another working folder.
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& workDir = {});

}  // namespace quorvex::test
