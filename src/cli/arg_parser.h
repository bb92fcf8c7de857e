#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::cli {

// Reads a command's arguments: "--name" switches, "--name VALUE" options and operands, in any order;
// after "--" every argument is an operand. Each option writes into the variable it was declared with.
class ArgParser {
 public:
  ArgParser& Switch(const std::string& name, bool& target);
  // target: a std::string or a std::optional<std::string>.
  template <typename Target>
  ArgParser& Text(const std::string& name, Target& target) {
    return Add(name, true, [&target](const std::string& value) {
      target = value;
      return std::string();
    });
  }
  // A whole number from min to max (INT_MAX: no upper limit).
  ArgParser& Number(const std::string& name, int& target, int min, int max);

  // The operands, or nothing with problem set to the message for the user.
  std::optional<std::vector<std::string>> Parse(const std::vector<std::string>& args, std::string& problem) const;

 private:
  using Store = std::function<std::string(const std::string& value)>;  // returns a problem, or empty
  struct Option {
    std::string name;
    bool takesValue;
    Store store;
  };
  ArgParser& Add(const std::string& name, bool takesValue, Store store);
  const Option* Find(const std::string& name) const;

  std::vector<Option> options_;
};

// A keyword as typed on a UTF-8 command line, in the form keywords are searched and kept (GB18030, as the
// window keeps them), so GB and BIG5 engines are sent it in their own code page and a keyword the window
// kept is found; an argument that is no UTF-8 is taken as already in that form.
std::string KeywordFromArgument(std::string_view argument);

}  // namespace quorvex::cli
