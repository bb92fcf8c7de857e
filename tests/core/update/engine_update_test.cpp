// The engine archive: unpacking it safely, and the engine update that checks, fetches and unpacks it.
#include "core/update/TVCLUnZip.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/config/Options.h"
#include "core/update/TDownloadEngines.h"
#include "core/update/zip_exceptions.h"
#include "support/child_process.h"
#include "support/local_servers.h"
#include "support/silent_name_server.h"
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
  EXPECT_TRUE(ReadWholeFile(dir / "incons/a") == "the good old engine file" &&
              SnapshotTree(dir / "incons").size() == 1u);

  // Names are bytes: a GBK name without the UTF-8 flag is written as it is stored.
  EXPECT_TRUE(run("admzip-chs_name.zip") == 1 &&
              fs::exists(dir / "admzip-chs_name.zip" / "\xd6\xd0\xce\xc4\xc2\xb7\xbe\xb6.txt"));
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


// The engine update: the archive checked, fetched and unpacked from a local HTTPS server.
namespace {

using std::chrono::hours;

// The Last-Modified of the archive on the server.
constexpr const char* kStamp = "Sat, 01 Jun 2024 00:00:00 GMT";

// nginx serves the archive over HTTPS, for HEAD from www/Quorvex/ and for GET from www/get/, so that a
// test can make downloads fail while the check still finds the archive. Every request goes to an access
// log.
class EngineUpdateTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { certificates = std::make_unique<TestCertificates>(); }
  static void TearDownTestSuite() { certificates.reset(); }

  void SetUp() override {
    QUORVEX_REQUIRE_PROGRAM("nginx");
    ASSERT_TRUE(certificates->Ready()) << certificates->Log();
    const TestCertificates::KeyPair pair = certificates->Issue("127.0.0.1");
    server = std::make_unique<NginxServer>(NginxSettings{
        "access_log " + (dir / "access.log").string() +
            ";\nlocation = /Quorvex/Engine1-1.zip { if ($request_method = GET) { rewrite ^ /get/Engine1-1.zip last; } }"
            "\nlocation /get/ { internal; }\n",
        pair.certificate, pair.key});
    trust = std::make_unique<ScopedEnvironmentVariable>("SSL_CERT_FILE", certificates->CaFile().string());
    ASSERT_TRUE(server->Started()) << server->Log();
    Options().SetLines({"EnableProxy=1", "Proxy=127.0.0.1", "ProxyPort=9"});  // must not be used
    archive = ReadFixture("zip/go-unix.zip");
    const fs::path headCopy = server->Root() / "Quorvex/Engine1-1.zip";
    fs::create_directories(headCopy.parent_path());
    ASSERT_TRUE(WriteFileAtomically(headCopy, archive));
    const std::chrono::sys_seconds served{std::chrono::sys_days{std::chrono::June / 1 / 2024}};  // kStamp
    fs::last_write_time(headCopy, std::chrono::file_clock::from_sys(served));
    MakeDownloadable();
  }

  void MakeDownloadable() {
    fs::create_directories(server->Root() / "get");
    ASSERT_TRUE(WriteFileAtomically(server->Root() / "get/Engine1-1.zip", archive));
  }
  void MakeUndownloadable() { fs::remove_all(server->Root() / "get"); }


  // A local archive written days ago (a negative age: in the future).
  void PutLocalArchive(int daysOld) {
    ASSERT_TRUE(WriteFileAtomically(local, "old archive"));
    fs::last_write_time(local, fs::file_time_type::clock::now() - hours(24 * daysOld));
  }

  // The update server named in option.txt, whose archive name the program appends; none when empty.
  TDownloadEngines::Settings MakeSettings(const std::string& serverPath = "/Quorvex") {
    const std::string base = "https://127.0.0.1:" + std::to_string(server->TlsPort());
    Options().SetValue("EngineServer", serverPath.empty() ? "" : base + serverPath);
    return {TDownloadEngines::ProgramSettings().Url, local, dir / "Engines1", dir / "option.txt", 0,
            std::chrono::milliseconds(200)};
  }

  // Runs the update to its end, serving its calls into the main thread; whenTicking runs meanwhile.
  void RunUpdate(const TDownloadEngines::Settings& settings, const std::function<void()>& whenTicking = {}) {
    TDownloadEngines engines(
        dispatcher, [this] { ++reloads; }, settings);
    engines.Start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!engines.Finished() && std::chrono::steady_clock::now() < deadline) {
      dispatcher.WaitAndRunPending(std::chrono::milliseconds(5));
      if (whenTicking) whenTicking();
    }
    EXPECT_TRUE(engines.Finished());
  }

  // "METHOD STATUS" of every request nginx saw, in order.
  std::vector<std::string> Requests() const {
    std::vector<std::string> requests;
    std::istringstream log(ReadWholeFile(dir / "access.log").value_or(""));
    for (std::string line; std::getline(log, line);) {
      std::istringstream fields(line.substr(line.find('"') + 1));
      std::string method, path, protocol, status;
      fields >> method >> path >> protocol >> status;
      requests.push_back(method + " " + status);
    }
    return requests;
  }

  // The stamp saved in option.txt is the server's, beside the other options.
  bool ServerStampSaved() {
    const std::string saved = ReadWholeFile(dir / "option.txt").value_or("");
    return saved.find("Last-Modified=" + std::string(kStamp)) != std::string::npos;
  }

  static std::unique_ptr<TestCertificates> certificates;
  TempDir dir;
  fs::path local = dir / "Engine1-1.zip";
  std::unique_ptr<NginxServer> server;
  std::unique_ptr<ScopedEnvironmentVariable> trust;
  std::string archive;
  QueueDispatcher dispatcher;
  int reloads = 0;
};

std::unique_ptr<TestCertificates> EngineUpdateTest::certificates;

TEST_F(EngineUpdateTest, NoServerAYoungArchiveAMissingOneOrTheSameStampDownloadNothing) {
  RunUpdate(MakeSettings(""));
  PutLocalArchive(2);
  RunUpdate(MakeSettings());
  EXPECT_TRUE(Requests().empty());
  PutLocalArchive(6);
  Options().SetValue("Last-Modified", "Mon, 01 Jan 2001 00:00:00 GMT");
  RunUpdate(MakeSettings("/Missing/"));
  EXPECT_TRUE(Requests() == std::vector<std::string>{"HEAD 404"} && !fs::exists(dir / "option.txt"));

  PutLocalArchive(-3);  // dated in the future: counts as old
  Options().SetValue("Last-Modified", kStamp);
  RunUpdate(MakeSettings());
  EXPECT_EQ(Requests(), (std::vector<std::string>{"HEAD 404", "HEAD 200"}));
  EXPECT_TRUE(ReadWholeFile(local) == "old archive" && reloads == 0 && !fs::exists(dir / "Engines1"));
}

TEST_F(EngineUpdateTest, NewStampIsDownloadedUnpackedAndStored) {
  PutLocalArchive(6);
  Options().SetValue("Last-Modified", "SAT, 01 JUN 2024 00:00:00 GMT");  // differs only in letter case: a new archive
  RunUpdate(MakeSettings());
  EXPECT_EQ(Requests(), (std::vector<std::string>{"HEAD 200", "GET 200"}));
  EXPECT_TRUE(ReadWholeFile(local) == archive && fs::exists(dir / "Engines1/dir/bar") && reloads == 1);
  EXPECT_TRUE(ServerStampSaved() &&
              ReadWholeFile(dir / "option.txt").value_or("").find("Proxy=127.0.0.1") != std::string::npos);
}

TEST_F(EngineUpdateTest, ACorruptArchiveIsNotFetchedAgain) {
  archive = "not a zip archive";
  MakeDownloadable();
  RunUpdate(MakeSettings());
  EXPECT_TRUE(Requests() == std::vector<std::string>({"HEAD 200", "GET 200"}) && reloads == 0 && ServerStampSaved());

  fs::last_write_time(local, fs::file_time_type::clock::now() - hours(24 * 6));  // the next start
  RunUpdate(MakeSettings());
  EXPECT_EQ(Requests(), (std::vector<std::string>{"HEAD 200", "GET 200", "HEAD 200"}));
  EXPECT_EQ(reloads, 0);
}

TEST_F(EngineUpdateTest, FailedDownloadsAreRetriedWithoutTouchingTheLocalArchive) {
  MakeUndownloadable();
  PutLocalArchive(6);
  RunUpdate(MakeSettings(), [this] {
    const auto requests = Requests();
    if (std::count(requests.begin(), requests.end(), "GET 404") < 2 || fs::exists(server->Root() / "get")) return;
    EXPECT_EQ(ReadWholeFile(local), "old archive");
    MakeDownloadable();
  });
  const auto requests = Requests();
  ASSERT_GE(requests.size(), 4u);
  EXPECT_TRUE(requests.front() == "HEAD 200" && requests.back() == "GET 200" && reloads == 1);
  EXPECT_EQ(ReadWholeFile(local), archive);
}

TEST_F(EngineUpdateTest, StopEndsEndlessRetriesAndANameLookupAtOnce) {
  SilentNameServer nameServer;  // 127.0.0.1 needs no lookup
  MakeUndownloadable();
  auto settings = MakeSettings();
  settings.RetryPause = hours(1);
  TDownloadEngines retrying(dispatcher, [this] { ++reloads; }, settings);
  retrying.Start();
  while (Requests().size() < 2) dispatcher.WaitAndRunPending(std::chrono::milliseconds(5));
  retrying.Stop();
  EXPECT_TRUE(retrying.Finished());

  settings.Url = "http://blackhole.test/Engines1.zip";
  TDownloadEngines looking(dispatcher, [this] { ++reloads; }, settings);
  looking.Start();
  ASSERT_TRUE(nameServer.WaitForQuery());
  const auto before = std::chrono::steady_clock::now();
  looking.Stop();
  EXPECT_TRUE(looking.Finished() && std::chrono::steady_clock::now() - before < std::chrono::milliseconds(300));
  EXPECT_EQ(reloads, 0);
}

}  // namespace
}  // namespace quorvex::test
