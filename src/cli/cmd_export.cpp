#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/arg_parser.h"
#include "cli/command.h"
#include "core/app/AppState.h"
#include "core/config/ProgramDirs.h"
#include "core/common/ascii.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "core/view/TFilter.h"
#include "core/view/html_export.h"
#include "core/view/keyword_hits.h"
#include "core/view/result_view.h"

namespace quorvex::cli {
namespace {

int RunExport(const std::vector<std::string>& args);

const Command kExport{
    "export", "write the HTML page of a kept keyword's results",
    "usage: quorvex-cli export [--order K] KEYWORD FILE\n"
    "\n"
    "Finds KEYWORD in AllKey.txt of the working folder (the exact text first, else ignoring the case of\n"
    "A-Z), reads its results from the SearchResult folder beside the program and writes to FILE the page\n"
    "the program shows in the browser, in view order K (0 as found, the default, 1 score, 2 URL,\n"
    "3 title, 4 date-time, 5 engines, 6 downloaded, 7 visited).\n"
    "\n"
    "Exit status 0 when FILE was written; 1 when it could not be written; 2 when the arguments are\n"
    "wrong, AllKey.txt cannot be read or holds no such keyword.\n",
    RunExport};

const CommandRegistration kRegistration(kExport);

struct ExportArgs {
  int order = 0;
  std::string keyword;
  std::string file;
};

std::optional<ExportArgs> ReadArgs(const std::vector<std::string>& args, std::string& problem) {
  ExportArgs parsed;
  const auto words = ArgParser().Number("--order", parsed.order, 0, 7).Parse(args, problem);
  if (!words) return std::nullopt;
  if (words->size() != 2) {
    problem = "expected KEYWORD and FILE";
    return std::nullopt;
  }
  parsed.keyword = (*words)[0];
  parsed.file = (*words)[1];
  return parsed;
}

TOneKey* FindKeyword(const std::vector<TOneKey*>& keys, const std::string& keyword) {
  for (TOneKey* key : keys) {
    if (key->Keyword == keyword) return key;
  }
  for (TOneKey* key : keys) {
    if (EqualsIgnoreCase(key->Keyword, keyword)) return key;
  }
  return nullptr;
}

int Fail(const std::string& message, int status) {
  std::cerr << "quorvex-cli export: " << message << "\n";
  return status;
}

int RunExport(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<ExportArgs> parsed = ReadArgs(args, problem);
  if (!parsed) return UsageError(kExport, problem);

  AppState& app = App();
  if (!LoadKeyList(app, kAllKeyFileName, {})) return Fail(std::string("cannot read '") + kAllKeyFileName + "'", 2);
  TOneKey* key = FindKeyword(app.KeyList, KeywordFromArgument(parsed->keyword));
  if (key == nullptr) return Fail("no keyword '" + parsed->keyword + "' in " + kAllKeyFileName, 2);
  key->LoadResults(SearchResultDir());
  ViewCursor cursor;
  RebuildView(key, TFilter{}, parsed->order, cursor);
  if (!WriteExportHtml(*key, HighlightWords(key->Keyword), parsed->file)) {
    return Fail("cannot write '" + parsed->file + "'", 1);
  }
  return 0;
}

}  // namespace
}  // namespace quorvex::cli
