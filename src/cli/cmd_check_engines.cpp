#include <algorithm>
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
#include "core/common/datetime.h"
#include "core/common/dispatcher.h"
#include "core/common/utf8.h"
#include "core/search/TSearchRun.h"
#include "core/search/engine_health.h"
#include "core/search/search_loop.h"

namespace quorvex::cli {
namespace {

int RunCheckEngines(const std::vector<std::string>& args);

const Command kCheckEngines{
    "check-engines", "search each engine of a category once and tell how it went",
    "usage: quorvex-cli check-engines [--engines DIR] [--category NAME] KEYWORD\n"
    "\n"
    "Sends KEYWORD to every checked engine of the category NAME (default: the first category) of the\n"
    "engine folder DIR (default: the Engines1 folder beside the program), one page each, and prints one\n"
    "line per engine: name, outcome (worked, no results, blocked, no record matched, failed), records,\n"
    "time in ms and reason, tab-separated. The outcomes are kept in the folder's Health.txt as every\n"
    "search keeps them, with the page of a blocked engine or of one whose definition no longer reads its\n"
    "page in KeptPages/NAME.html, its keyword and address in KeptPages/NAME.request.\n"
    "\n"
    "Exit status 0 when the engines were searched; 2 when the arguments are wrong (a blank KEYWORD\n"
    "too) or the engine folder has no readable Index.txt or no such category.\n",
    RunCheckEngines};

const CommandRegistration kRegistration(kCheckEngines);

// The engine's name in a "name=definition file" entry.
std::string EntryName(const std::string& entry) { return entry.substr(0, entry.find('=')); }

int RunCheckEngines(const std::vector<std::string>& args) {
  std::string problem;
  std::optional<std::string> engines;
  std::optional<std::string> category;
  const auto words = ArgParser().Text("--engines", engines).Text("--category", category).Parse(args, problem);
  if (!words) return UsageError(kCheckEngines, problem);
  if (words->size() != 1) return UsageError(kCheckEngines, "expected one KEYWORD");
  // A blank keyword would search for everything and replace the kept pages with what that gives.
  if (IsBlankKeyword(words->front())) return UsageError(kCheckEngines, "KEYWORD is blank");
  LoadOptions();
  const std::filesystem::path engineFolder = engines.value_or(EngineDir());
  const std::optional<EngineCategoryChoice> choice = ChooseEngineCategory(engineFolder, category, problem);
  if (!choice) {
    std::cerr << "quorvex-cli check-engines: " << problem << "\n";
    return 2;
  }

  QueueDispatcher dispatcher;
  StderrSearchDisplay display;
  TSearchRun run(dispatcher, display, App());
  run.EngineFolder = engineFolder;
  run.Limits.CountPerEngine = 0;  // one page each
  TSearchRequest request;
  request.Keyword = KeywordFromArgument(words->front());
  request.Category = choice->index;
  request.Engines = choice->engines;
  if (run.StartSearch(request) == nullptr) {
    std::cerr << "quorvex-cli check-engines: a search is already running\n";
    return 2;
  }
  RunUntilSearchEnds(dispatcher, run);

  // In the order of the index, not the order they finished in.
  for (const std::string& entry : choice->engines) {
    const auto outcome = std::find_if(run.Outcomes().begin(), run.Outcomes().end(),
                                      [&](const TEngineOutcome& o) { return o.name == EntryName(entry); });
    if (outcome == run.Outcomes().end()) continue;
    const TEngineHealth health = ClassifyOutcome(*outcome, NowDateTime());
    std::cout << Escape(health.name) << '\t' << EngineStateName(health.state) << '\t' << health.records << '\t'
              << health.milliseconds << '\t' << Escape(health.reason) << '\n';
  }
  std::cout.flush();
  return 0;
}

}  // namespace
}  // namespace quorvex::cli
