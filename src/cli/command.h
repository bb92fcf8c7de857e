#pragma once
#include <string>
#include <vector>

namespace quorvex::cli {

// One sub-command of quorvex-cli. Each lives in its own file and registers itself with a static
// CommandRegistration, so that adding a command touches no other file.
struct Command {
  const char* name;
  const char* summary;  // one line for the overview
  const char* usage;    // the text --help prints
  int (*run)(const std::vector<std::string>& args);  // args after the command name; returns the exit code
};

class CommandRegistration {
 public:
  explicit CommandRegistration(const Command& command);
};

const std::vector<Command>& Commands();

// True when args hold --help or -h; the command then prints its usage and exits 0.
bool WantsHelp(const std::vector<std::string>& args);

// Prints the message and the command's usage on stderr; returns exit status 2.
int UsageError(const Command& command, const std::string& message);

}  // namespace quorvex::cli
