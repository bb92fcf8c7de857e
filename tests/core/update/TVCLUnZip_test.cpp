#include "core/update/TVCLUnZip.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <filesystem>
#include <map>

#include "core/common/file_io.h"
#include "core/update/zip_exceptions.h"
#include "support/child_process.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;

// One entry of an archive written by BuildZip, for archives no real tool would write.
struct TestEntry {
  std::string name;
  std::string data;
  bool deflate = false;
  std::optional<uint32_t> statedSize{};  // uncompressed size written into the headers instead of the real one
  uint32_t unixMode = 0100644;           // stored in the external attributes (made on Unix)
};

// Little-endian fields, each a value and its width in bytes.
void Put(std::string& out, std::initializer_list<std::pair<uint64_t, int>> fields) {
  for (const auto& [value, bytes] : fields) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  }
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

std::string BuildZip(const std::vector<TestEntry>& entries) {
  std::string archive;
  std::string central;
  for (const TestEntry& entry : entries) {
    const std::string stored = entry.deflate ? RawDeflate(entry.data) : entry.data;
    const uint64_t crc =
        crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size()));
    // The fields local and central headers share, from "version needed" to the extra length; written
    // 2020-01-02 03:04:06.
    std::string common;
    Put(common, {{20, 2}, {0, 2}, {entry.deflate ? 8 : 0, 2}, {(3 << 11) | (4 << 5) | 3, 2},
                 {(40 << 9) | (1 << 5) | 2, 2}, {crc, 4}, {stored.size(), 4},
                 {entry.statedSize.value_or(entry.data.size()), 4}, {entry.name.size(), 2}, {0, 2}});
    Put(central, {{0x02014b50, 4}, {(3 << 8) | 30, 2}});
    central += common;
    // Comment length, disk, internal and external attributes, offset of the local header.
    Put(central, {{0, 6}, {uint64_t{entry.unixMode} << 16, 4}, {archive.size(), 4}});
    central += entry.name;
    Put(archive, {{0x04034b50, 4}});
    archive += common + entry.name + stored;
  }
  const uint64_t centralOffset = archive.size();
  archive += central;
  Put(archive, {{0x06054b50, 4}, {0, 4}, {entries.size(), 2}, {entries.size(), 2}, {central.size(), 4},
                {centralOffset, 4}, {0, 2}});
  return archive;
}

// What a test compares of an extracted tree: per relative path, the kind, and for files the bytes,
// permission bits and last-write time.
struct FileFacts {
  bool folder = false;
  std::string content;
  unsigned mode = 0;
  long long mtime = 0;
  bool operator==(const FileFacts&) const = default;
};
using TreeFacts = std::map<std::string, FileFacts>;

TreeFacts SnapshotTree(const fs::path& root) {
  TreeFacts tree;
  if (!fs::exists(root)) return tree;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    FileFacts facts;
    struct stat info {};
    ::lstat(item.path().c_str(), &info);
    facts.folder = S_ISDIR(info.st_mode);
    if (!facts.folder) facts = {false, ReadWholeFile(item.path()).value_or("<unreadable>"), info.st_mode & 07777u, info.st_mtime};
    tree[fs::relative(item.path(), root).string()] = facts;
  }
  return tree;
}

// An extraction with the engine update's settings that records what it is told.
struct Extraction {
  TVCLUnZip unzip;
  std::vector<std::pair<std::string, TSkipReason>> skipped;
  std::vector<std::string> badCrc;

  Extraction(const fs::path& archive, const fs::path& dest) {
    unzip.ZipName = archive.string();
    unzip.SetDestDir(dest.string());
    unzip.DoAll = true;
    unzip.RecreateDirs = true;
    unzip.OverwriteMode = TUZOverwriteMode::Always;
    unzip.OnSkippingFile = [this](const TZipHeaderInfo& entry, TSkipReason reason) {
      skipped.emplace_back(entry.FileName, reason);
    };
    unzip.OnBadCRC = [this](const TZipHeaderInfo& entry, uint32_t) { badCrc.push_back(entry.FileName); };
  }
  int Run() { return unzip.UnZip(); }
};

}  // namespace

// Info-ZIP's unzip is the reference the trees are compared with (1 is a warning, 2 a bad CRC: it still
// extracts).
TEST(TVCLUnZip, FixtureArchivesGiveInfoZipsTree) {
  const TempDir dir;
  for (const std::string name : {"libzip-testempty.zip", "libzip-junk-at-start.zip", "libzip-streamed.zip",
                                 "libzip-testfile-UTF8.zip", "go-test-trailing-junk.zip", "go-zip64.zip",
                                 "go-unix.zip", "go-winxp.zip", "admzip-bad_crc.zip"}) {
    const fs::path archive = FixturePath("zip/" + name);
    Extraction ours(archive, dir / ("ours-" + name));
    EXPECT_NO_THROW(ours.Run()) << name;
    const std::vector<std::string> unzip = {FindProgram("unzip"), "-o", "-qq", archive.string(), "-d", (dir / name).string()};
    EXPECT_LE(static_cast<unsigned>(RunProgram(unzip, dir / "unzip.log")), 2u) << name;
    EXPECT_EQ(SnapshotTree(dir / ("ours-" + name)), SnapshotTree(dir / name)) << name;
  }
}

TEST(TVCLUnZip, FixtureArchivesWithFaults) {
  const TempDir dir;
  const auto run = [&dir](const std::string& name, TIncompleteZipMode mode = TIncompleteZipMode::izAssumeMulti) {
    Extraction extraction(FixturePath("zip/" + name), dir / name);
    extraction.unzip.IncompleteZipMode = mode;
    return extraction.Run();
  };
  EXPECT_THROW(run("libzip-bogus.zip"), EIncompleteZip);
  EXPECT_THROW(run("libzip-bogus.zip", TIncompleteZipMode::izAssumeBad), EBadZipFile);
  EXPECT_THROW(run("libzip-testfile-truncated.zip"), EIncompleteZip);
  EXPECT_THROW(run("libzip-incons-cdoffset.zip"), EBadZipFile);
  EXPECT_THROW(run("missing.zip"), std::runtime_error);
  EXPECT_FALSE(fs::exists(dir / "libzip-bogus.zip")) << "no destination is made for a broken archive";
  // The entries of a truncated archive are found by their local headers.
  EXPECT_EQ(run("libzip-testfile-truncated.zip", TIncompleteZipMode::izAssumeBad), 1);

  // A damaged entry keeps the file it would replace, and leaves no temporary file.
  dir.Write("incons/a", "the good old engine file");
  Extraction badData(FixturePath("zip/libzip-incons-data.zip"), dir / "incons");
  EXPECT_TRUE(badData.Run() == 0 && badData.badCrc == std::vector<std::string>{"a"});
  EXPECT_EQ(ReadWholeFile(dir / "incons/a"), "the good old engine file");
  EXPECT_EQ(SnapshotTree(dir / "incons").size(), 1u);

  // Names are bytes: a GBK name without the UTF-8 flag is written as it is stored.
  EXPECT_EQ(run("admzip-chs_name.zip"), 1);
  EXPECT_TRUE(fs::exists(dir / "admzip-chs_name.zip" / "\xd6\xd0\xce\xc4\xc2\xb7\xbe\xb6.txt"));
}

TEST(TVCLUnZip, HostileNamesAndSymlinksStayInsideTheDestination) {
  const TempDir dir;
  Extraction names(
      dir.Write("names.zip", BuildZip({{"../up.txt", "1"}, {"../../upup.txt", "2"}, {"/etc/abs.txt", "3"},
                                       {"C:\\windows\\drive.txt", "4"}, {"a/../../mid.txt", "5"},
                                       {"..\\..\\back.txt", "6"}, {"./dot/./x.txt", "7"}, {"sub/..", "8"},
                                       {std::string("nul\0/../../z.txt", 16), "9"}})),
      dir / "box/dest");
  EXPECT_EQ(names.Run(), 8);
  const TreeFacts tree = SnapshotTree(dir / "box/dest");
  for (const char* path :
       {"up.txt", "upup.txt", "etc/abs.txt", "windows/drive.txt", "a/mid.txt", "back.txt", "dot/x.txt", "nul"}) {
    EXPECT_TRUE(tree.contains(path)) << path;
  }
  EXPECT_EQ(SnapshotTree(dir / "box").size(), tree.size() + 1) << "nothing next to the destination";
  EXPECT_TRUE(names.skipped.size() == 1u && names.skipped[0].second == TSkipReason::BadName);

  // Symbolic links, stored or planted in the destination, are never followed.
  const fs::path outside = dir / "outside";
  dir.Write("outside/target.txt", "precious");
  const fs::path dest = dir / "dest";
  fs::create_directories(dest);
  fs::create_directory_symlink(outside, dest / "planted");
  fs::create_symlink(outside / "target.txt", dest / "victim.txt");
  Extraction links(dir.Write("links.zip", BuildZip({{"link", "../outside", false, std::nullopt, 0120777},
                                                    {"link/through.txt", "x"},
                                                    {"planted/through.txt", "y"},
                                                    {"victim.txt", "replaced"}})),
                   dest);
  EXPECT_EQ(links.Run(), 2);
  // A stored link is a file holding its target; a planted one is replaced, the file it named untouched.
  EXPECT_EQ(ReadWholeFile(dest / "link"), "../outside");
  EXPECT_TRUE(ReadWholeFile(dest / "victim.txt") == "replaced" && links.skipped.size() == 2u);
  EXPECT_TRUE(SnapshotTree(outside).size() == 1u && ReadWholeFile(outside / "target.txt") == "precious");
}

TEST(TVCLUnZip, DataBeyondTheStatedSizeMultiDiskSetsAndCancelStop) {
  const TempDir dir;
  Extraction stored(dir.Write("lying.zip", BuildZip({{"ok.txt", "fine"}, {"lie.txt", std::string(100, 'x'), false, 10}})),
                    dir / "stored");
  EXPECT_THROW(stored.Run(), EBiggerThanUncompressed);
  EXPECT_EQ(SnapshotTree(dir / "stored").size(), 1u) << "ok.txt stays, nothing of lie.txt";
  // 16 MiB of zeros in about 16 KiB, declared as 1 MiB: extraction stops at the declared size.
  Extraction deflated(dir.Write("bomb.zip", BuildZip({{"bomb.bin", std::string(16 << 20, '\0'), true, 1 << 20}})),
                      dir / "bomb");
  EXPECT_THROW(deflated.Run(), EBiggerThanUncompressed);
  EXPECT_TRUE(SnapshotTree(dir / "bomb").empty());

  std::string bytes = BuildZip({{"a.txt", "a"}, {"b.txt", "b"}});
  bytes[bytes.size() - 18] = 2;  // this disk: the third
  bytes[bytes.size() - 16] = 2;  // the directory starts on it too
  Extraction extraction(dir.Write("multi.zip", bytes), dir / "multi");
  EXPECT_THROW(extraction.Run(), EUserCanceled);
  std::string prompt;
  extraction.unzip.OnGetNextDisk = [&prompt](uint64_t, const std::string& text) {
    prompt = text;
    return true;
  };
  EXPECT_THROW(extraction.Run(), EIncompleteZip);
  EXPECT_EQ(prompt, "Please insert disk 1 of the multi-disk set.");

  Extraction canceled(dir.Write("two.zip", BuildZip({{"a.txt", "a"}, {"b.txt", "b"}})), dir / "cancel");
  canceled.unzip.OnEndUnZip = [&canceled](const TZipHeaderInfo&, const std::string&) { canceled.unzip.Cancel(); };
  EXPECT_THROW(canceled.Run(), EUserCanceled);
  EXPECT_EQ(SnapshotTree(dir / "cancel").size(), 1u);
}

TEST(UnzipCommand, PrintsTheCountAndReportsFailures) {
  const TempDir dir;
  const auto run = [&dir](const char* archive) {
    return RunCli({"unzip", FixturePath(std::string("zip/") + archive).string(), (dir / archive).string()});
  };
  const CliResult done = run("go-unix.zip");
  EXPECT_TRUE(done.exitCode == 0 && done.out == "3\n" && std::filesystem::exists(dir / "go-unix.zip/dir/bar"))
      << done.err;
  const CliResult damaged = run("libzip-incons-data.zip");
  EXPECT_TRUE(damaged.exitCode == 0 && damaged.out == "0\n" && damaged.err == "skipped\ta\tbad CRC\n");
  const CliResult broken = run("libzip-incons-cdoffset.zip");
  EXPECT_TRUE(broken.exitCode == 1 && broken.err.find("Not a valid zip file!") != std::string::npos) << broken.err;
}

}  // namespace quorvex::test
