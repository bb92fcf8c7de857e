#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/config/version.h"

namespace quorvex::cli {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

void PrintOverview(std::ostream& out) {
  out << "usage: quorvex-cli COMMAND [ARGS...]\n\ncommands:\n";
  for (const Command& command : Commands()) {
    out << "  " << command.name << std::string(10 - std::min<size_t>(9, std::string(command.name).size()), ' ')
        << command.summary << "\n";
  }
  out << "\n'quorvex-cli COMMAND --help' describes one command; 'quorvex-cli --version' prints the version.\n";
}
}  // namespace

CommandRegistration::CommandRegistration(const Command& command) { Registry().push_back(command); }

const std::vector<Command>& Commands() { return Registry(); }

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

int UsageError(const Command& command, const std::string& message) {
  std::cerr << "quorvex-cli " << command.name << ": " << message << "\n" << command.usage;
  return 2;
}

}  // namespace quorvex::cli

int main(int argc, char** argv) {
  using namespace quorvex::cli;
  std::ios::sync_with_stdio(false);
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    PrintOverview(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? 2 : 0;
  }
  const std::string name = argv[1];
  if (name == "--version") {
    std::cout << "quorvex-cli " << quorvex::kProgramVersion << "\n";
    return 0;
  }
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const Command& command : Commands()) {
    if (name != command.name) continue;
    if (WantsHelp(args)) {
      std::cout << command.usage;
      return 0;
    }
    return command.run(args);
  }
  std::cerr << "quorvex-cli: unknown command '" << name << "'\n";
  PrintOverview(std::cerr);
  return 2;
}
