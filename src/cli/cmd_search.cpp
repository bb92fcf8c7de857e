#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/arg_parser.h"
#include "cli/command.h"
#include "cli/engine_category.h"
#include "cli/escape.h"
#include "cli/stderr_search_display.h"
#include "core/app/AppState.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/common/dispatcher.h"
#include "core/search/TSearchRun.h"
#include "core/search/search_loop.h"
#include "core/store/TOneKey.h"
#include "core/common/unsaved_files.h"
#include "core/store/key_list.h"
#include "core/view/TFilter.h"
#include "core/view/result_view.h"

namespace quorvex::cli {
namespace {

int RunSearch(const std::vector<std::string>& args);

const Command kSearch{
    "search", "search the engines of a category for a keyword and print the merged results",
    "usage: quorvex-cli search [--engines DIR] [--category NAME] [--per-engine N] [--all N] [--order K]\n"
    "                          [--proxy HOST:PORT] [--save] KEYWORD\n"
    "\n"
    "Sends KEYWORD to every checked engine of the category NAME (default: the first category) of the\n"
    "engine folder DIR (default: the Engines1 folder beside the program), all at once, merges what they\n"
    "find into one scored list and prints it in the view order K. Each engine's progress goes to stderr,\n"
    "with the reason when a page of it failed (\"NAME: Finished:0 (Lookup host error!: ...)\"); at the end\n"
    "a line such as \"2 of 9 engines gave nothing: NAME (REASON); ...\" names the engines that found nothing.\n"
    "\n"
    "  --per-engine N   an engine stops paging once it has reported more than N records (default 30)\n"
    "  --all N          every engine stops once the search has added more than N results (default 300)\n"
    "  --order K        0 as found (default), 1 score, 2 URL, 3 title, 4 date-time, 5 engines,\n"
    "                   6 downloaded, 7 visited\n"
    "  --proxy HOST:PORT  go through this HTTP proxy (otherwise as option.txt says)\n"
    "  --save           file the keyword in AllKey.txt (working folder) and its results in the\n"
    "                   SearchResult folder beside the program, as the program does at close\n"
    "\n"
    "option.txt in the working folder is read as the program reads it (proxy, SearchTimeOut).\n"
    "Output, one line per result: S, score, URL, title, summary, language (1 GB, 2 BIG5, 4 English,\n"
    "0 unknown) and the engines that found it, tab-separated; texts are escaped: \\\\ \\t \\r \\n, other\n"
    "control bytes as \\xHH.\n"
    "\n"
    "Exit status 0 when the search ran; 1 when --save could not write; 2 when the arguments are wrong\n"
    "or the engine folder has no readable Index.txt or no such category.\n",
    RunSearch};

const CommandRegistration kRegistration(kSearch);

struct SearchArgs {
  std::optional<std::string> engines;
  std::optional<std::string> category;
  int perEngine = SearchLimits{}.CountPerEngine;
  int all = SearchLimits{}.CountAll;
  int order = 0;
  std::optional<std::string> proxy;
  bool save = false;
  std::string keyword;
};

std::optional<SearchArgs> ReadArgs(const std::vector<std::string>& args, std::string& problem) {
  SearchArgs parsed;
  const auto words = ArgParser()
                         .Text("--engines", parsed.engines)
                         .Text("--category", parsed.category)
                         .Number("--per-engine", parsed.perEngine, 0, 1000000)
                         .Number("--all", parsed.all, 0, 1000000)
                         .Number("--order", parsed.order, 0, 7)
                         .Text("--proxy", parsed.proxy)
                         .Switch("--save", parsed.save)
                         .Parse(args, problem);
  if (!words) return std::nullopt;
  if (words->size() != 1) {
    problem = "expected one KEYWORD";
    return std::nullopt;
  }
  parsed.keyword = words->front();
  return parsed;
}

// "HOST:PORT" into the proxy options, as the options dialog stores them.
void UseProxy(const std::string& address) {
  const size_t colon = address.rfind(':');
  Options().SetValue("EnableProxy", "1");
  Options().SetValue("Proxy", address.substr(0, colon));
  Options().SetValue("ProxyPort", colon == std::string::npos ? std::string() : address.substr(colon + 1));
}

int Fail(const std::string& message) {
  std::cerr << "quorvex-cli search: " << message << "\n";
  return 2;
}

std::string ResultLines(const TOneKey& key) {
  std::string lines;
  for (const TOneResult* result : key.View) {
    lines += "S\t" + std::to_string(result->Score) + '\t' + Escape(result->Url) + '\t' + Escape(result->Title) + '\t' +
             Escape(result->Summary) + '\t' + std::to_string(result->Language) + '\t' + Escape(result->Engines) + '\n';
  }
  return lines;
}

int RunSearch(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<SearchArgs> parsed = ReadArgs(args, problem);
  if (!parsed) return UsageError(kSearch, problem);

  LoadOptions();
  if (parsed->proxy) UseProxy(*parsed->proxy);
  const std::filesystem::path engineFolder = parsed->engines.value_or(EngineDir());
  const std::optional<EngineCategoryChoice> choice = ChooseEngineCategory(engineFolder, parsed->category, problem);
  if (!choice) return Fail(problem);
  const std::vector<std::string>& categories = choice->categories;

  AppState& app = App();
  if (parsed->save) LoadKeyList(app, kAllKeyFileName, categories);
  QueueDispatcher dispatcher;
  StderrSearchDisplay display;
  TSearchRun run(dispatcher, display, app);
  run.EngineFolder = engineFolder;
  run.Limits = SearchLimits{parsed->perEngine, parsed->all};
  TSearchRequest request;
  request.Keyword = KeywordFromArgument(parsed->keyword);
  request.Category = choice->index;
  request.Engines = choice->engines;
  TOneKey* key = run.StartSearch(request);
  if (key == nullptr) return Fail("a search is already running");
  RunUntilSearchEnds(dispatcher, run);
  if (const std::string nothing = run.GaveNothing(); !nothing.empty()) std::cerr << Escape(nothing) << "\n";

  ViewCursor cursor;
  RebuildView(key, TFilter{}, parsed->order, cursor);
  const std::string lines = ResultLines(*key);
  std::cout.write(lines.data(), static_cast<std::streamsize>(lines.size()));
  std::cout.flush();

  if (parsed->save) {
    CreateDataFolders();
    RemoveStaleSaves();
    UnsavedFiles unsaved;
    if (!SaveKeyList(app.KeyList, kAllKeyFileName, SearchResultDir(), categories, &unsaved)) {
      std::cerr << "quorvex-cli search: " << unsaved.Message() << "\n";
      return 1;
    }
  }
  return std::cout ? 0 : 1;
}

}  // namespace
}  // namespace quorvex::cli
