#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/arg_parser.h"
#include "cli/command.h"
#include "cli/escape.h"
#include "core/common/utf8.h"
#include "core/engines/definition_learner.h"
#include "core/engines/saved_page.h"
#include "core/search/engine_health.h"

namespace quorvex::cli {
namespace {

int RunLearn(const std::vector<std::string>& args);

const Command kLearn{
    "learn", "write an engine definition from one saved result page",
    "usage: quorvex-cli learn [--url ADDRESS] [--name NAME] KEYWORD PAGE\n"
    "\n"
    "Finds the block that repeats once per result on the saved page PAGE, which was the answer to a search\n"
    "for KEYWORD, and prints on stdout a definition that reads such pages. ADDRESS is the address the page\n"
    "came from: it becomes the definition's url= with KEYWORD replaced by $key$, and links into the engine's\n"
    "own site are left out. stderr tells what was chosen and why, and the first three results the\n"
    "definition finds on PAGE; save stdout as NAME.txt in the engine folder and list it in Index.txt.\n"
    "\n"
    "Exit status 0 when a definition was written; 1 when the page holds no repeating result block (or\n"
    "the definition would read fewer than three results on it); 2 when the arguments are wrong (a blank\n"
    "KEYWORD too), PAGE cannot be read or the definition cannot be written to stdout.\n",
    RunLearn};

const CommandRegistration kRegistration(kLearn);

int RunLearn(const std::vector<std::string>& args) {
  std::string problem;
  std::optional<std::string> url;
  std::optional<std::string> name;
  const auto words = ArgParser().Text("--url", url).Text("--name", name).Parse(args, problem);
  if (!words) return UsageError(kLearn, problem);
  if (words->size() != 2) return UsageError(kLearn, "expected KEYWORD and PAGE");
  if (IsBlankKeyword((*words)[0])) return UsageError(kLearn, "KEYWORD is blank");
  std::optional<TSavedPage> page = ReadSavedPage((*words)[1], problem);
  if (!page) {
    std::cerr << "quorvex-cli learn: cannot read '" << (*words)[1] << "': " << problem << "\n";
    return 2;
  }
  const std::string who = name ? *name + ": " : std::string();
  if (page->cut) std::cerr << who << CutPageNote() << "\n";
  const TLearnedDefinition learned =
      LearnDefinition(TLearnInput{std::move(page->bytes), (*words)[0], url.value_or(""),
                                  ReadKeptRequest((*words)[1]).charset});
  for (const std::string& line : learned.report) std::cerr << who << Escape(line) << "\n";
  if (!learned.found) return 1;
  if (!learned.keyed)
    std::cerr << who
              << (url ? "the address holds no item with the keyword: write $key$ into url= by hand\n"
                      : "no address given (--url): write the address the engine searches at into url=, with $key$ "
                        "where the keyword goes\n");
  std::cerr << who << learned.records.size() << " results on the page";
  for (size_t i = 0; i < learned.records.size() && i < 3; ++i) {
    const TRecord& record = learned.records[i];
    std::cerr << "\n  " << Escape(record.size() > 1 ? record[1] : "") << "\t" << Escape(record[0]);
  }
  std::cerr << "\n";
  std::cout << learned.definition;
  std::cout.flush();
  if (std::cout) return 0;
  std::cerr << "quorvex-cli learn: the definition cannot be written to stdout\n";
  return 2;
}

}  // namespace
}  // namespace quorvex::cli
