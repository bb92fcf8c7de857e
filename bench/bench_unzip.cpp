// Extraction of an archive of many small Deflate files (about 5 MB and 50 MB, made by Info-ZIP's zip)
// with the engine update's settings, against Info-ZIP's "unzip -o -qq" in the same run. Every extraction
// runs in a child process into an empty folder, so that its wall time and its peak resident memory
// (ru_maxrss from wait4) are its own. "baseline_rss_kb" is the peak of a child that does nothing: the
// memory it shares with this program at the fork. The files go below TMPDIR (default /tmp); with
// TMPDIR=/dev/shm the figures show the extraction itself rather than the disk's cost of making files.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/update/engine_archive.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFilesPerFolder = 100;
constexpr int kFilesPerMegabyte = 340;  // about 4.8 KB of words each, 2.9 KB deflated

struct ChildRun {
  double seconds = 0;
  long peakRssKb = 0;
  bool succeeded = false;
};

// Runs body in a forked child (its return value is the exit status) and measures the child.
ChildRun RunInChild(const std::function<int()>& body) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return {elapsed.count(), usage.ru_maxrss, WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

// In a child: runs a program with its output thrown away; returns only when it cannot be started.
int Exec(const std::vector<std::string>& args, const fs::path& workDir = {}) {
  if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) return 127;
  if (!std::freopen("/dev/null", "w", stdout)) return 127;
  std::vector<char*> argv;
  std::vector<std::string> copies = args;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ::execvp(argv[0], argv.data());
  return 127;
}

// The archives, made once per run in a temporary folder that is removed at the end.
class Archives {
 public:
  Archives() {
    std::string pattern = (fs::temp_directory_path() / "quorvex-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
  }
  ~Archives() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  Archives(const Archives&) = delete;
  Archives& operator=(const Archives&) = delete;

  const fs::path& Root() const { return root_; }

  const fs::path& Get(int megabytes) {
    auto found = made_.find(megabytes);
    if (found != made_.end()) return found->second;
    const fs::path folder = root_ / ("tree" + std::to_string(megabytes));
    WriteTree(folder / "engines", megabytes * kFilesPerMegabyte);
    const fs::path archive = root_ / ("archive" + std::to_string(megabytes) + ".zip");
    if (!RunInChild([&] { return Exec({"zip", "-r", "-q", archive.string(), "engines"}, folder); }).succeeded) {
      std::abort();
    }
    fs::remove_all(folder);
    return made_[megabytes] = archive;
  }

 private:
  static void WriteTree(const fs::path& folder, int files) {
    std::mt19937 random(42);
    std::vector<std::string> words;
    for (int i = 0; i < 2000; ++i) {
      std::string word;
      for (int length = 2 + static_cast<int>(random() % 9); length > 0; --length)
        word += static_cast<char>('a' + random() % 26);
      words.push_back(word);
    }
    for (int i = 0; i < files; ++i) {
      const fs::path file =
          folder / ("set" + std::to_string(i / kFilesPerFolder)) / ("engine" + std::to_string(i) + ".txt");
      if (i % kFilesPerFolder == 0) fs::create_directories(file.parent_path());
      std::string text;
      for (int w = 0; w < 700; ++w) text += words[random() % words.size()] + ' ';
      std::ofstream(file, std::ios::binary) << text;
    }
  }

  fs::path root_;
  std::map<int, fs::path> made_;
};

Archives& TheArchives() {
  static Archives archives;
  return archives;
}

int UnpackInChild(const fs::path& archive, const fs::path& out) {
  return quorvex::UnpackEngineArchive(archive.string(), out.string()) > 0 ? 0 : 1;
}

int InfoZipInChild(const fs::path& archive, const fs::path& out) {
  return Exec({"unzip", "-o", "-qq", archive.string(), "-d", out.string()});
}

// One iteration extracts the archive with both, in alternating order so that a busy machine slows both
// alike; the iteration time is ours, Info-ZIP's is in the counters.
void BM_UnzipAgainstInfoZip(benchmark::State& state) {
  const fs::path& archive = TheArchives().Get(static_cast<int>(state.range(0)));
  const fs::path out = TheArchives().Root() / "out";
  const auto extract = [&](int (*how)(const fs::path&, const fs::path&)) {
    fs::remove_all(out);
    const ChildRun run = RunInChild([&] { return how(archive, out); });
    if (!run.succeeded) state.SkipWithError("extraction failed");
    return run;
  };
  double oursSeconds = 0;
  double infoZipSeconds = 0;
  long oursPeak = 0;
  long infoZipPeak = 0;
  bool oursFirst = true;
  for (auto _ : state) {
    ChildRun ours;
    ChildRun infoZip;
    if (oursFirst) ours = extract(UnpackInChild);
    infoZip = extract(InfoZipInChild);
    if (!oursFirst) ours = extract(UnpackInChild);
    oursFirst = !oursFirst;
    state.SetIterationTime(ours.seconds);
    oursSeconds += ours.seconds;
    infoZipSeconds += infoZip.seconds;
    oursPeak = std::max(oursPeak, ours.peakRssKb);
    infoZipPeak = std::max(infoZipPeak, infoZip.peakRssKb);
  }
  fs::remove_all(out);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(archive)));
  state.counters["archive_MB"] = static_cast<double>(fs::file_size(archive)) / 1e6;
  state.counters["infozip_ms"] = 1000 * infoZipSeconds / static_cast<double>(state.iterations());
  state.counters["infozip_over_ours"] = infoZipSeconds / oursSeconds;
  state.counters["peak_rss_kb"] = static_cast<double>(oursPeak);
  state.counters["infozip_peak_rss_kb"] = static_cast<double>(infoZipPeak);
  state.counters["baseline_rss_kb"] = static_cast<double>(RunInChild([] { return 0; }).peakRssKb);
}

}  // namespace

BENCHMARK(BM_UnzipAgainstInfoZip)->Arg(5)->Arg(50)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

BENCHMARK_MAIN();
