#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/arg_parser.h"
#include "cli/command.h"
#include "cli/escape.h"
#include "core/common/file_io.h"
#include "core/net/THtmlParser.h"

namespace quorvex::cli {
namespace {

int RunTags(const std::vector<std::string>& args);

const Command kTags{"tags", "show how the HTML scanner cuts a file into tags and texts",
                    "usage: quorvex-cli tags [--rebuild] FILE\n"
                    "\n"
                    "Scans FILE once and prints one line per event, in order:\n"
                    "  T<TAB>name<TAB>attribute...   a tag, with its attribute entries as the scanner reads them\n"
                    "  X<TAB>text                    the text segment that follows (empty ones too)\n"
                    "Backslash, TAB, CR, LF and other control bytes are written as \\\\, \\t, \\r, \\n and \\xHH.\n"
                    "\n"
                    "  --rebuild   write the document as the scanner rebuilds it instead, byte for byte\n",
                    RunTags};

const CommandRegistration kRegistration(kTags);

// Every event as one line; the whole listing is kept in memory and written at once.
std::string ListEvents(THtmlParser& parser) {
  std::string listing;
  parser.OnHtmlTag = [&listing](THtmlParser&, std::string& name, NameValueList& param, size_t) {
    listing += "T\t";
    listing += Escape(name);
    for (const std::string& entry : param.Lines()) {
      listing += '\t';
      listing += Escape(entry);
    }
    listing += '\n';
  };
  parser.OnHtmlText = [&listing](THtmlParser&, std::string& text) {
    listing += "X\t";
    listing += Escape(text);
    listing += '\n';
  };
  parser.Parse();
  return listing;
}

int RunTags(const std::vector<std::string>& args) {
  bool rebuild = false;
  std::string problem;
  const auto files = ArgParser().Switch("--rebuild", rebuild).Parse(args, problem);
  if (!files) return UsageError(kTags, problem);
  if (files->size() != 1) return UsageError(kTags, "expected one FILE");

  std::optional<std::string> bytes = ReadWholeFile(files->front());
  if (!bytes) {
    std::cerr << "quorvex-cli tags: cannot read '" << files->front() << "'\n";
    return 2;
  }
  THtmlParser parser;
  parser.Content = std::move(*bytes);
  std::string output;
  if (rebuild) {
    parser.SaveChange = true;
    parser.Parse();
    output = std::move(parser.Content);
  } else {
    output = ListEvents(parser);
  }
  std::cout.write(output.data(), static_cast<std::streamsize>(output.size()));
  std::cout.flush();
  return std::cout ? 0 : 1;
}

}  // namespace
}  // namespace quorvex::cli
