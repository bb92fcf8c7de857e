#include "core/update/TVCLUnZip.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "core/common/file_io.h"
#include "core/update/zip_exceptions.h"
#include "support/child_process.h"
#include "support/test_support.h"
#include "zip_test_support.h"

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;

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

void ExpectSameTreeAsInfoZip(const fs::path& archive, const TempDir& dir) {
  const fs::path ours = dir / ("ours-" + archive.filename().string());
  const fs::path theirs = dir / ("infozip-" + archive.filename().string());
  Extraction extraction(archive, ours);
  EXPECT_NO_THROW(extraction.Run()) << archive;
  ExtractWithInfoZip(archive, theirs);
  EXPECT_EQ(SnapshotTree(ours), SnapshotTree(theirs)) << archive;
}

// A small tree with the usual shapes: nested and empty folders, an empty file, binary data, modes.
fs::path MakeSourceTree(const TempDir& dir) {
  const fs::path root = dir / "src";
  std::mt19937 random(7);
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>(random());
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i % 37) + " of the readme\n";
  dir.Write("src/readme.txt", text);
  dir.Write("src/bin/data.bin", binary);
  dir.Write("src/bin/run.sh", "#!/bin/sh\necho hi\n");
  dir.Write("src/empty.txt", "");
  dir.Write("src/deep/er/still/file.txt", "deep");
  dir.Write("src/with space.txt", "spaced");
  dir.Write("src/readonly.txt", "do not touch");
  fs::create_directories(root / "hollow");
  fs::permissions(root / "bin/run.sh", fs::perms(0755));
  fs::permissions(root / "bin/data.bin", fs::perms(0600));
  fs::permissions(root / "readonly.txt", fs::perms(0444));
  return root;
}

fs::path MakeWithInfoZip(const TempDir& dir, const std::string& name, const std::vector<std::string>& options) {
  std::vector<std::string> args = {FindProgram("env"), "-C", dir.Path().string(), FindProgram("zip"), "-r", "-q"};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), {name, "src"});
  EXPECT_EQ(RunTool(args), 0);
  return dir / name;
}

fs::path WriteArchive(const TempDir& dir, const std::string& name, const std::string& bytes) {
  return dir.Write(name, bytes);
}

TEST(TVCLUnZip, FixtureArchivesGiveInfoZipsTree) {
  const TempDir dir;
  for (const char* name : {"libzip-test.zip",
                           "libzip-testdeflated.zip",
                           "libzip-firstsecond.zip",
                           "libzip-testempty.zip",
                           "libzip-junk-at-start.zip",
                           "libzip-junk-at-end.zip",
                           "libzip-zip64.zip",
                           "libzip-streamed.zip",
                           "libzip-testfile-UTF8.zip",
                           "libzip-incons-local-crc.zip",
                           "go-test.zip",
                           "go-test-trailing-junk.zip",
                           "go-dd.zip",
                           "go-with-datadesc-sig.zip",
                           "go-no-datadesc-sig.zip",
                           "go-zip64.zip",
                           "go-unix.zip",
                           "go-winxp.zip",
                           "admzip-normal.zip",
                           "admzip-bad_crc.zip"}) {
    ExpectSameTreeAsInfoZip(FixturePath(std::string("zip/") + name), dir);
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
  EXPECT_EQ(badData.Run(), 0);
  EXPECT_EQ(badData.badCrc, std::vector<std::string>{"a"});
  EXPECT_EQ(ReadWholeFile(dir / "incons/a"), "the good old engine file");
  EXPECT_EQ(SnapshotTree(dir / "incons").size(), 1u);

  // Names are bytes: a GBK name without the UTF-8 flag is written as it is stored.
  EXPECT_EQ(run("admzip-chs_name.zip"), 1);
  EXPECT_TRUE(fs::exists(dir / "admzip-chs_name.zip" / "\xd6\xd0\xce\xc4\xc2\xb7\xbe\xb6.txt"));
}

TEST(TVCLUnZip, ToolMadeArchivesGiveInfoZipsTree) {
  const TempDir dir;
  MakeSourceTree(dir);
  ExpectSameTreeAsInfoZip(MakeWithInfoZip(dir, "stored.zip", {"-0"}), dir);
  ExpectSameTreeAsInfoZip(MakeWithInfoZip(dir, "deflated.zip", {"-9"}), dir);
}

TEST(TVCLUnZip, UnknownMethodIsSkipped) {
  const TempDir dir;
  MakeSourceTree(dir);
  // zip keeps what bzip2 cannot shrink stored: those entries are extracted, the others skipped.
  const fs::path archive = MakeWithInfoZip(dir, "bzip2.zip", {"-Z", "bzip2"});
  Extraction extraction(archive, dir / "ours");
  extraction.Run();
  ExtractWithInfoZip(archive, dir / "infozip");
  TreeFacts expected = SnapshotTree(dir / "infozip");
  for (const auto& [name, reason] : extraction.skipped) {
    EXPECT_EQ(reason, TSkipReason::UnknownMethod) << name;
    expected.erase(name);
  }
  EXPECT_FALSE(expected.contains("src/readme.txt"));
  EXPECT_EQ(SnapshotTree(dir / "ours"), expected);
  EXPECT_EQ(std::string(SkipReasonText(TSkipReason::UnknownMethod)), "Unknown Compression Method");
}

TEST(TVCLUnZip, TruncatedAndCorruptedCopies) {
  const TempDir dir;
  MakeSourceTree(dir);
  const fs::path full = MakeWithInfoZip(dir, "full.zip", {"-9"});
  const std::string bytes = ReadWholeFile(full).value();
  Extraction reference(full, dir / "reference");
  reference.Run();

  // Cut where the central directory starts: every entry is still whole.
  const size_t central = bytes.find("PK\x01\x02");
  const fs::path cut = WriteArchive(dir, "cut.zip", bytes.substr(0, central));
  Extraction strict(cut, dir / "strict");
  EXPECT_THROW(strict.Run(), EIncompleteZip);
  Extraction scanned(cut, dir / "scanned");
  scanned.unzip.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
  EXPECT_EQ(scanned.Run(), reference.Run());
  for (auto& [path, facts] : SnapshotTree(dir / "scanned")) {
    EXPECT_EQ(facts.content, SnapshotTree(dir / "reference")[path].content) << path;
  }

  // Cut inside the big file's data.
  const size_t dataBin = bytes.find("src/bin/data.bin");
  Extraction inside(WriteArchive(dir, "inside.zip", bytes.substr(0, dataBin + 1000)), dir / "inside");
  inside.unzip.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
  EXPECT_THROW(inside.Run(), EFatalUnzipError);

  // One flipped byte in the middle of the big stored file: that file is dropped, the rest is kept.
  std::string damaged = bytes;
  damaged[dataBin + 5000] = static_cast<char>(damaged[dataBin + 5000] ^ 0x55);
  Extraction corrupt(WriteArchive(dir, "corrupt.zip", damaged), dir / "corrupt");
  corrupt.Run();
  EXPECT_EQ(corrupt.badCrc, std::vector<std::string>{"src/bin/data.bin"});
  TreeFacts expected = SnapshotTree(dir / "reference");
  expected.erase("src/bin/data.bin");
  EXPECT_EQ(SnapshotTree(dir / "corrupt"), expected);
}

TEST(TVCLUnZip, HostileNamesStayInsideTheDestination) {
  const TempDir dir;
  const fs::path archive = WriteArchive(dir, "names.zip",
                                        BuildZip({{"../up.txt", "1"},
                                                  {"../../upup.txt", "2"},
                                                  {"/etc/abs.txt", "3"},
                                                  {"C:\\windows\\drive.txt", "4"},
                                                  {"a/../../mid.txt", "5"},
                                                  {"..\\..\\back.txt", "6"},
                                                  {"./dot/./x.txt", "7"},
                                                  {"sub/..", "8"},
                                                  {std::string("nul\0/../../z.txt", 16), "9"}}));
  Extraction extraction(archive, dir / "box/dest");
  EXPECT_EQ(extraction.Run(), 8);
  const TreeFacts tree = SnapshotTree(dir / "box/dest");
  for (const char* path :
       {"up.txt", "upup.txt", "etc/abs.txt", "windows/drive.txt", "a/mid.txt", "back.txt", "dot/x.txt", "nul"}) {
    EXPECT_TRUE(tree.contains(path)) << path;
  }
  EXPECT_EQ(SnapshotTree(dir / "box").size(), tree.size() + 1) << "nothing next to the destination";
  ASSERT_EQ(extraction.skipped.size(), 1u);
  EXPECT_EQ(extraction.skipped[0].second, TSkipReason::BadName);
}

TEST(TVCLUnZip, SymlinksAreNeverFollowed) {
  const TempDir dir;
  const fs::path outside = dir / "outside";
  dir.Write("outside/target.txt", "precious");
  const fs::path dest = dir / "dest";
  fs::create_directories(dest);
  fs::create_directory_symlink(outside, dest / "planted");
  fs::create_symlink(outside / "target.txt", dest / "victim.txt");

  const fs::path archive = WriteArchive(dir, "links.zip",
                                        BuildZip({{"link", "../outside", false, std::nullopt, 0120777},
                                                  {"link/through.txt", "x"},
                                                  {"planted/through.txt", "y"},
                                                  {"victim.txt", "replaced"}}));
  Extraction extraction(archive, dest);
  EXPECT_EQ(extraction.Run(), 2);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dest / "link")));
  EXPECT_EQ(ReadWholeFile(dest / "link"), "../outside");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dest / "victim.txt")));
  EXPECT_EQ(ReadWholeFile(dest / "victim.txt"), "replaced");
  EXPECT_EQ(SnapshotTree(outside).size(), 1u);
  EXPECT_EQ(ReadWholeFile(outside / "target.txt"), "precious");
  EXPECT_EQ(extraction.skipped.size(), 2u);
}

TEST(TVCLUnZip, DataBeyondTheStatedSizeStops) {
  const TempDir dir;
  const fs::path lying =
      WriteArchive(dir, "lying.zip", BuildZip({{"ok.txt", "fine"}, {"lie.txt", std::string(100, 'x'), false, 10}}));
  Extraction stored(lying, dir / "stored");
  EXPECT_THROW(stored.Run(), EBiggerThanUncompressed);
  EXPECT_EQ(SnapshotTree(dir / "stored").size(), 1u) << "ok.txt stays, nothing of lie.txt";

  // 16 MiB of zeros in about 16 KiB, declared as 1 MiB: extraction stops at the declared size.
  const fs::path bomb =
      WriteArchive(dir, "bomb.zip", BuildZip({{"bomb.bin", std::string(16 << 20, '\0'), true, 1 << 20}}));
  EXPECT_LT(fs::file_size(bomb), 50000u);
  Extraction deflated(bomb, dir / "bomb");
  EXPECT_THROW(deflated.Run(), EBiggerThanUncompressed);
  EXPECT_TRUE(SnapshotTree(dir / "bomb").empty());
}

TEST(TVCLUnZip, OverwriteModesAndQuestions) {
  const TempDir dir;
  const fs::path archive = WriteArchive(dir, "two.zip", BuildZip({{"a.txt", "new a"}, {"b.txt", "new b"}}));
  const fs::path dest = dir / "dest";
  const auto reset = [&] {
    dir.Write("dest/a.txt", "old a");
    fs::remove(dest / "b.txt");
  };
  Extraction extraction(archive, dest);
  for (const auto mode : {TUZOverwriteMode::Never, TUZOverwriteMode::Prompt}) {
    reset();
    extraction.unzip.OverwriteMode = mode;
    extraction.skipped.clear();
    EXPECT_EQ(extraction.Run(), 1);
    EXPECT_EQ(ReadWholeFile(dest / "a.txt"), "old a");
    ASSERT_EQ(extraction.skipped.size(), 1u);
    EXPECT_EQ(extraction.skipped[0].second, TSkipReason::NoOverwrite);
  }
  std::vector<std::string> questions;
  for (const bool answer : {false, true}) {
    reset();
    extraction.unzip.OnPromptForOverwrite = [&](const std::string& question, const std::string&) {
      questions.push_back(question);
      return answer;
    };
    extraction.Run();
    EXPECT_EQ(ReadWholeFile(dest / "a.txt"), answer ? "new a" : "old a");
  }
  EXPECT_EQ(questions[0], "Replace existing file " + (dest / "a.txt").string() + "?");
  EXPECT_EQ(questions.size(), 2u) << "only existing files are asked about";
}

TEST(TVCLUnZip, SelectionRootDirAndFlatExtraction) {
  const TempDir dir;
  const fs::path archive = WriteArchive(
      dir, "tree.zip", BuildZip({{"eng/gb/one.txt", "1"}, {"eng/two.txt", "2"}, {"english/three.txt", "3"}}));
  Extraction rooted(archive, dir / "rooted/");
  rooted.unzip.RootDir = "eng\\";
  EXPECT_EQ(rooted.Run(), 3);
  EXPECT_EQ(rooted.unzip.DestDir(), (dir / "rooted").string());
  for (const char* path : {"gb/one.txt", "two.txt", "english/three.txt"})
    EXPECT_TRUE(fs::exists(dir / "rooted" / path)) << path;

  Extraction flat(archive, dir / "flat");
  flat.unzip.RecreateDirs = false;
  flat.unzip.DoAll = false;
  flat.unzip.FilesList = {"eng\\gb\\one.txt", "english/three.txt", "not/there.txt"};
  EXPECT_EQ(flat.Run(), 2);
  EXPECT_EQ(SnapshotTree(dir / "flat").size(), 2u);
  EXPECT_TRUE(fs::exists(dir / "flat/one.txt"));
  EXPECT_TRUE(fs::exists(dir / "flat/three.txt"));
}

TEST(TVCLUnZip, AttributesOnlyWhenRetained) {
  const TempDir dir;
  Extraction extraction(FixturePath("zip/go-unix.zip"), dir / "plain");
  extraction.unzip.RetainAttributes = false;
  extraction.Run();
  const mode_t mask = ::umask(022);
  ::umask(mask);
  EXPECT_EQ(SnapshotTree(dir / "plain")["readonly"].mode, 0666u & ~mask);
  EXPECT_EQ(SnapshotTree(dir / "plain")["hello"].mode, 0666u & ~mask);
}

TEST(TVCLUnZip, MultiDiskSetsAndCancel) {
  const TempDir dir;
  std::string bytes = BuildZip({{"a.txt", "a"}, {"b.txt", "b"}});
  bytes[bytes.size() - 18] = 2;  // this disk: the third
  bytes[bytes.size() - 16] = 2;  // the directory starts on it too
  const fs::path multi = WriteArchive(dir, "multi.zip", bytes);
  Extraction extraction(multi, dir / "multi");
  try {
    extraction.Run();
    ADD_FAILURE() << "no exception";
  } catch (const EUserCanceled& canceled) {
    EXPECT_STREQ(canceled.what(), "User canceled loading new disk.");
  }
  std::string prompt;
  extraction.unzip.OnGetNextDisk = [&prompt](uint64_t, const std::string& text) {
    prompt = text;
    return true;
  };
  EXPECT_THROW(extraction.Run(), EIncompleteZip);
  EXPECT_EQ(prompt, "Please insert disk 1 of the multi-disk set.");

  // Disk 0 of 0 is one archive, whatever its entry counts say: all of its entries are extracted.
  std::string counts = BuildZip({{"a.txt", "a"}, {"b.txt", "b"}});
  counts[counts.size() - 14] = 1;  // entries on this disk: 1 of 2
  Extraction single(WriteArchive(dir, "counts.zip", counts), dir / "counts");
  EXPECT_EQ(single.Run(), 2);

  Extraction canceled(WriteArchive(dir, "two.zip", BuildZip({{"a.txt", "a"}, {"b.txt", "b"}})), dir / "cancel");
  canceled.unzip.OnEndUnZip = [&canceled](const TZipHeaderInfo&, const std::string&) { canceled.unzip.Cancel(); };
  EXPECT_THROW(canceled.Run(), EUserCanceled);
  EXPECT_EQ(SnapshotTree(dir / "cancel").size(), 1u);
}

}  // namespace
}  // namespace quorvex::test
