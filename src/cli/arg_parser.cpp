#include "cli/arg_parser.h"

#include <limits>

#include "core/common/numbers.h"
#include "core/common/utf8.h"

namespace quorvex::cli {

ArgParser& ArgParser::Add(const std::string& name, bool takesValue, Store store) {
  options_.push_back({name, takesValue, std::move(store)});
  return *this;
}

ArgParser& ArgParser::Switch(const std::string& name, bool& target) {
  return Add(name, false, [&target](const std::string&) {
    target = true;
    return std::string();
  });
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): a range is written min, max
ArgParser& ArgParser::Number(const std::string& name, int& target, int min, int max) {
  return Add(name, true, [&target, name, min, max](const std::string& value) {
    const long long number = ParseInt64Or(value, static_cast<long long>(min) - 1);
    if (number < min || number > max) {
      const std::string upTo = max == std::numeric_limits<int>::max() ? " up" : " to " + std::to_string(max);
      return name + " needs a whole number from " + std::to_string(min) + upTo;
    }
    target = static_cast<int>(number);
    return std::string();
  });
}

const ArgParser::Option* ArgParser::Find(const std::string& name) const {
  for (const Option& option : options_) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

std::optional<std::vector<std::string>> ArgParser::Parse(const std::vector<std::string>& args,
                                                         std::string& problem) const {
  std::vector<std::string> operands;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size() && problem.empty(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      operands.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (const Option* option = Find(arg); option == nullptr) {
      problem = "unknown option '" + arg + "'";
    } else if (!option->takesValue) {
      option->store({});
    } else if (i + 1 == args.size()) {
      problem = arg + " needs a value";
    } else {
      problem = option->store(args[++i]);
    }
  }
  if (!problem.empty()) return std::nullopt;
  return operands;
}

std::string KeywordFromArgument(std::string_view argument) {
  return IsValidUtf8(argument) ? Utf8ToGb18030(argument) : std::string(argument);
}

}  // namespace quorvex::cli
