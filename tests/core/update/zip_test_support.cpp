#include "zip_test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include "core/common/file_io.h"
#include "support/child_process.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// The header fields local and central headers share, from "version needed" to the extra length.
std::string CommonFields(const TestEntry& entry, const std::string& stored) {
  std::string out;
  Put16(out, 20);
  Put16(out, 0);
  Put16(out, entry.deflate ? 8 : 0);
  Put16(out, (3 << 11) | (4 << 5) | 3);  // 03:04:06
  Put16(out, (40 << 9) | (1 << 5) | 2);  // 2020-01-02
  Put32(out, static_cast<uint32_t>(
                 crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size()))));
  Put32(out, static_cast<uint32_t>(stored.size()));
  Put32(out, entry.statedSize.value_or(static_cast<uint32_t>(entry.data.size())));
  Put16(out, static_cast<uint32_t>(entry.name.size()));
  Put16(out, 0);
  return out;
}

}  // namespace

std::string BuildZip(const std::vector<TestEntry>& entries) {
  std::string archive;
  std::string central;
  for (const TestEntry& entry : entries) {
    const std::string stored = entry.deflate ? RawDeflate(entry.data) : entry.data;
    const std::string common = CommonFields(entry, stored);
    Put32(central, 0x02014b50);
    Put16(central, (3 << 8) | 30);
    central += common;
    Put16(central, 0);  // comment length
    Put16(central, 0);  // disk
    Put16(central, 0);  // internal attributes
    Put32(central, entry.unixMode << 16);
    Put32(central, static_cast<uint32_t>(archive.size()));
    central += entry.name;
    Put32(archive, 0x04034b50);
    archive += common + entry.name + stored;
  }
  const auto centralOffset = static_cast<uint32_t>(archive.size());
  archive += central;
  Put32(archive, 0x06054b50);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<uint32_t>(entries.size()));
  Put16(archive, static_cast<uint32_t>(entries.size()));
  Put32(archive, static_cast<uint32_t>(central.size()));
  Put32(archive, centralOffset);
  Put16(archive, 0);
  return archive;
}

TreeFacts SnapshotTree(const std::filesystem::path& root) {
  TreeFacts tree;
  if (!std::filesystem::exists(root)) return tree;
  for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
    FileFacts facts;
    struct stat info {};
    ::lstat(item.path().c_str(), &info);
    facts.folder = S_ISDIR(info.st_mode);
    if (!facts.folder) {
      facts.content = ReadWholeFile(item.path()).value_or("<unreadable>");
      facts.mode = info.st_mode & 07777;
      facts.mtime = info.st_mtime;
    }
    tree[std::filesystem::relative(item.path(), root).string()] = facts;
  }
  return tree;
}

int RunTool(const std::vector<std::string>& args, std::string* output) {
  const TempDir logs;
  const int code = RunProgram(args, logs / "log");
  if (output != nullptr) *output = ReadWholeFile(logs / "log").value_or("");
  return code;
}

void ExtractWithInfoZip(const std::filesystem::path& archive, const std::filesystem::path& dir) {
  // 1 is a warning (extra bytes, empty archive), 2 a bad CRC: unzip still extracts.
  std::string output;
  const int code = RunTool({FindProgram("unzip"), "-o", "-qq", archive.string(), "-d", dir.string()}, &output);
  EXPECT_TRUE(code >= 0 && code <= 2) << "unzip failed on " << archive << ": " << output;
}

}  // namespace quorvex::test
