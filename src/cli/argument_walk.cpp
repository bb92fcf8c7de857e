#include "cli/argument_walk.h"

namespace quorvex::cli {

std::vector<std::string> WalkArguments(const std::vector<std::string>& args,
                                       const std::function<std::string(size_t& i)>& takeOption, std::string& problem) {
  std::vector<std::string> words;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size() && problem.empty(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      words.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else {
      problem = takeOption(i);
    }
  }
  return words;
}

}  // namespace quorvex::cli
