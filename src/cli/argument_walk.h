#pragma once
#include <functional>
#include <string>
#include <vector>

namespace quorvex::cli {

// Walks a command's arguments: after "--" everything is a word, and so is every argument that does not
// start with "-" or is "-" alone; every other one goes to takeOption with its position, which may step
// past a value and returns a problem text (empty when the option was fine). Returns the words; stops
// at the first problem, which is left in problem.
std::vector<std::string> WalkArguments(const std::vector<std::string>& args,
                                       const std::function<std::string(size_t& i)>& takeOption, std::string& problem);

}  // namespace quorvex::cli
