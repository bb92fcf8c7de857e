#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/arg_parser.h"
#include "cli/command.h"
#include "cli/escape.h"
#include "core/update/engine_archive.h"

namespace quorvex::cli {
namespace {

int RunUnzip(const std::vector<std::string>& args);

const Command kUnzip{
    "unzip", "extract a ZIP archive as the engine update does",
    "usage: quorvex-cli unzip ARCHIVE DESTDIR\n"
    "\n"
    "Extracts every entry of ARCHIVE below DESTDIR (made when missing) with the engine update's settings:\n"
    "folders inside the archive recreated, existing files replaced. Entry names never reach outside\n"
    "DESTDIR: \"..\" segments, leading slashes and drive letters are dropped. Only stored and Deflate\n"
    "entries are extracted.\n"
    "\n"
    "Prints the number of files extracted. Every entry left out is named on stderr as\n"
    "\"skipped<TAB>NAME<TAB>REASON\" (\"bad CRC\" for data that do not match their checksum).\n"
    "\n"
    "Exit status 0 when the archive was read to its end, 1 when it is not a valid or complete archive\n"
    "(the message is printed; files already extracted stay) or cannot be read, 2 when the arguments are\n"
    "wrong.\n",
    RunUnzip};

const CommandRegistration kRegistration(kUnzip);

void ReportSkipped(const TZipHeaderInfo& entry, const char* reason) {
  std::cerr << "skipped\t" << Escape(entry.FileName) << "\t" << reason << "\n";
}

int RunUnzip(const std::vector<std::string>& args) {
  std::string problem;
  const auto operands = ArgParser().Parse(args, problem);
  if (!operands) return UsageError(kUnzip, problem);
  if (operands->size() != 2) return UsageError(kUnzip, "needs ARCHIVE and DESTDIR");
  try {
    const int extracted = UnpackEngineArchive(
        (*operands)[0], (*operands)[1],
        [](const TZipHeaderInfo& entry, TSkipReason reason) { ReportSkipped(entry, SkipReasonText(reason)); },
        [](const TZipHeaderInfo& entry, uint32_t) { ReportSkipped(entry, "bad CRC"); });
    std::cout << extracted << "\n";
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "quorvex-cli unzip: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace
}  // namespace quorvex::cli
