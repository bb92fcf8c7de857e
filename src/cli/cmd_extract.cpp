#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/arg_parser.h"
#include "cli/command.h"
#include "cli/escape.h"
#include "core/common/ascii.h"
#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/common/utf8.h"
#include "core/engines/TEngineDefinition.h"
#include "core/engines/saved_page.h"
#include "core/net/THtmlParser.h"

namespace quorvex::cli {
namespace {

int RunExtract(const std::vector<std::string>& args);

const Command kExtract{
    "extract", "cut the result records out of a saved result page with an engine definition",
    "usage: quorvex-cli extract DEFINITION PAGE [--key KEYWORD] [--url PAGEURL]\n"
    "\n"
    "Loads the engine definition DEFINITION (with \"key=KEYWORD\" in front), cuts the result area out of\n"
    "the saved page PAGE and runs the definition's template and rules over it as for the first page of a\n"
    "search. PAGEURL is the address the page came from, the base of relative links.\n"
    "\n"
    "Output, one line per kept record: R, then TAB and the field for every field; then, when the page\n"
    "links to a next page, N, TAB and that link. Fields are escaped: \\\\ \\t \\r \\n, other control\n"
    "bytes as \\xHH. An error that stops the extraction is reported on stderr after the records found\n"
    "before it (exit status 0). Exit status 2 when a file cannot be read, the arguments are wrong or the\n"
    "definition's Charset names an unknown charset.\n",
    RunExtract};

const CommandRegistration kRegistration(kExtract);

struct ExtractArgs {
  std::string definition;
  std::string page;
  std::string key;
  std::string url;
};

std::optional<ExtractArgs> ReadArgs(const std::vector<std::string>& args, std::string& problem) {
  ExtractArgs parsed;
  const auto files = ArgParser().Text("--key", parsed.key).Text("--url", parsed.url).Parse(args, problem);
  if (!files) return std::nullopt;
  if (files->size() != 2) {
    problem = "expected DEFINITION and PAGE";
    return std::nullopt;
  }
  parsed.definition = (*files)[0];
  parsed.page = (*files)[1];
  return parsed;
}

int CannotRead(const std::string& file) {
  std::cerr << "quorvex-cli extract: cannot read '" << file << "'\n";
  return 2;
}

// The kept records but the head record, then the next-page link when the page has one.
std::string ListRecords(const TEngineDefinition& definition) {
  std::string listing;
  const std::vector<TRecord>& kept = definition.KeptRecords();
  for (size_t i = 1; i < kept.size(); ++i) {
    listing += 'R';
    for (const std::string& field : kept[i]) {
      listing += '\t';
      listing += Escape(field);
    }
    listing += '\n';
  }
  if (!definition.NextPageTarget().empty()) {
    listing += "N\t";
    listing += Escape(definition.NextPageTarget());
    listing += '\n';
  }
  return listing;
}

int RunExtract(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<ExtractArgs> parsed = ReadArgs(args, problem);
  if (!parsed) return UsageError(kExtract, problem);
  const std::optional<std::string> definitionText = ReadWholeFile(parsed->definition);
  if (!definitionText) return CannotRead(parsed->definition);
  TEngineDefinition definition;
  definition.LoadDefinition(SplitLines(*definitionText));
  definition.SetKey(parsed->key);

  // As a search reads it: a page of a charset other than UTF-8, GB and BIG5 in UTF-8. The charset is
  // checked before the page is read, so that a wrong definition never waits on a large page.
  const std::string charset = TrimControls(definition.HeaderValue("Charset"));
  // A search fails such an engine: reading the page as UTF-8 would show results it never gives.
  const auto unknownCharset = [&] {
    std::cerr << "quorvex-cli extract: unknown charset " << Escape(charset) << "\n";
    return 2;
  };
  if (!charset.empty() && !IsKnownCharset(charset)) return unknownCharset();
  std::optional<TSavedPage> page = ReadSavedPage(parsed->page, problem);
  if (!page) {
    std::cerr << "quorvex-cli extract: cannot read '" << parsed->page << "': " << problem << "\n";
    return 2;
  }
  if (page->cut) std::cerr << "quorvex-cli extract: " << CutPageNote() << "\n";
  const std::optional<std::string> readable = charset.empty() || IsUtf8Name(charset)
                                                  ? std::optional<std::string>(std::move(page->bytes))
                                                  : CharsetToUtf8(page->bytes, charset);
  if (!readable) return unknownCharset();
  const int start = definition.FirstStart();
  THtmlParser parser;
  const std::optional<std::string> error =
      definition.ExtractPage(parser, std::string(definition.CutResultArea(*readable)), parsed->url,
                             definition.NextLinkText(start, definition.Step()));

  const std::string listing = ListRecords(definition);
  std::cout.write(listing.data(), static_cast<std::streamsize>(listing.size()));
  std::cout.flush();
  // Escaped, so that the report stays one line whatever the rule text holds.
  if (error) std::cerr << "quorvex-cli extract: extraction stopped: " << Escape(*error) << "\n";
  return std::cout ? 0 : 1;
}

}  // namespace
}  // namespace quorvex::cli
