#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/arg_parser.h"
#include "cli/command.h"
#include "cli/escape.h"
#include "core/app/AppState.h"
#include "core/common/dispatcher.h"
#include "core/common/unsaved_files.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/pages/TVerify.h"
#include "core/pages/verify_display.h"
#include "core/program/TProgram.h"
#include "core/store/TOneKey.h"

namespace quorvex::cli {
namespace {

int RunVerify(const std::vector<std::string>& args);

const Command kVerify{
    "verify", "verify or download the result pages of a kept keyword",
    "usage: quorvex-cli verify [--download] [--engines DIR] KEYWORD\n"
    "\n"
    "Fetches every result page of the keyword KEYWORD kept in AllKey.txt (working folder) with ten\n"
    "workers, at most two requests at a time to one host, and sets each result's page state: 2 verified\n"
    "or 3 failed; with --download each page is saved for offline reading below the LocalFile folder\n"
    "beside the program with its frames and images, and the state is 1 downloaded or 3 failed.\n"
    "Progress goes to stderr. The states are saved to the keyword's result file in the SearchResult\n"
    "folder, as the program saves them at close. DIR is the engine folder whose Index.txt names the\n"
    "categories (default: the Engines1 folder beside the program).\n"
    "\n"
    "option.txt in the working folder is read as the program reads it (proxy, VerifyTimeOut,\n"
    "DownloadTimeOut).\n"
    "Output, one line per result in list order: V, page state and URL, tab-separated; the URL is\n"
    "escaped: \\\\ \\t \\r \\n, other control bytes as \\xHH.\n"
    "\n"
    "Exit status 0 when the run ended and was saved; 1 when the result file or AllKey.txt could not be\n"
    "written; 2 when the arguments are wrong, the engine folder has no readable Index.txt, no kept\n"
    "keyword is KEYWORD, or its result file exists but cannot be read (it is left as it is).\n",
    RunVerify};

const CommandRegistration kRegistration(kVerify);

constexpr std::chrono::milliseconds kTimerInterval{200};

// The run's progress as lines on stderr; the per-worker rows are left out. No search runs here.
class StderrVerifyDisplay : public TProgramDisplay, public TVerifyDisplay {
 public:
  void ShowActivity(std::string_view) override {}
  void ActivityStateChanged() override {}
  void KeyAdded(TOneKey&) override {}
  void SearchStarted(TOneKey&) override {}
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view, const TOneKey&) override { return nullptr; }
  void ResultsMerged(TOneKey&, int, int) override {}
  void EnginesFinished() override {}
  void SearchEnded(TOneKey&) override {}
  void VerifyStarted(TOneKey&) override {}
  void VerifyEnded(TOneKey&) override { std::cerr << "Finished\n"; }
  void ResultsEdited(TOneKey&) override {}

  void RunStarted(int workers) override { std::cerr << "Downloading... with " << workers << " workers\n"; }
  void Progress(const TVerifyProgress& progress) override {
    if (progress.done == lastDone_) return;
    lastDone_ = progress.done;
    std::cerr << "Downloaded:" << progress.done << " Total:" << progress.total << ' ' << progress.percentage << '\n';
  }
  void WorkerRow(int, std::string_view, int, int) override {}
  void ResultChecked(int, int) override {}
  void PageNotSaved(int resultIndex, std::string_view reason) override {
    std::cerr << "Result " << resultIndex << " not saved: " << reason << '\n';
  }

 private:
  int lastDone_ = -1;
};

struct VerifyArgs {
  int mode = kVerifyMode;
  std::optional<std::string> engines;
  std::string keyword;
};

std::optional<VerifyArgs> ReadArgs(const std::vector<std::string>& args, std::string& problem) {
  VerifyArgs parsed;
  bool download = false;
  const auto words = ArgParser().Switch("--download", download).Text("--engines", parsed.engines).Parse(args, problem);
  if (!words) return std::nullopt;
  if (words->size() != 1) {
    problem = "expected one KEYWORD";
    return std::nullopt;
  }
  parsed.mode = download ? kDownloadMode : kVerifyMode;
  parsed.keyword = words->front();
  return parsed;
}

int Fail(const std::string& message) {
  std::cerr << "quorvex-cli verify: " << message << "\n";
  return 2;
}

TOneKey* FindKey(const std::vector<TOneKey*>& keyList, const std::string& keyword) {
  const auto it =
      std::find_if(keyList.begin(), keyList.end(), [&](const TOneKey* key) { return key->Keyword == keyword; });
  return it == keyList.end() ? nullptr : *it;
}

std::string StateLines(const TOneKey& key) {
  std::string lines;
  for (size_t i = 0; i < key.Results.Count(); ++i) {
    const TOneResult& result = key.Results[i];
    lines += "V\t" + std::to_string(result.PageState) + '\t' + Escape(result.Url) + '\n';
  }
  return lines;
}

int RunVerify(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<VerifyArgs> parsed = ReadArgs(args, problem);
  if (!parsed) return UsageError(kVerify, problem);

  LoadOptions();
  TProgramFiles files = TProgramFiles::Default();
  if (parsed->engines) files.engineFolder = *parsed->engines;
  QueueDispatcher dispatcher;
  StderrVerifyDisplay display;
  AppState& app = App();
  TProgram program(dispatcher, app, display, files);
  // The categories are needed to write AllKey.txt back unchanged.
  if (!program.LoadEngineIndex()) {
    return Fail("cannot read '" + (files.engineFolder / EngineIndex::kFileName).string() + "'");
  }
  if (const std::string problem = program.LoadKeywords(); !problem.empty()) return Fail(problem);
  TOneKey* key = FindKey(app.KeyList, KeywordFromArgument(parsed->keyword));
  if (key == nullptr) return Fail("no kept keyword '" + parsed->keyword + "' in " + files.allKeyFile.string());

  CreateDataFolders();
  RemoveStaleSaves();
  if (!program.StartVerify(*key, parsed->mode, display)) return Fail(program.ResultsProblem(*key));
  // The tick ends the run once every worker has left, and saves the page states soon after.
  while (program.Activity() == TActivityState::Verifying) {
    dispatcher.WaitAndRunPending(kTimerInterval);
    program.Tick(SaveScheduler::Clock::now());
  }
  const UnsavedFiles unsaved = program.ShutDown();

  const std::string lines = StateLines(*key);
  std::cout.write(lines.data(), static_cast<std::streamsize>(lines.size()));
  std::cout.flush();
  if (!unsaved.Empty()) {
    std::cerr << "quorvex-cli verify: " << unsaved.Message() << "\n";
    return 1;
  }
  return std::cout ? 0 : 1;
}

}  // namespace
}  // namespace quorvex::cli
