#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/common/numbers.h"
#include "core/net/TSHttp.h"

namespace quorvex::cli {
namespace {

int RunFetch(const std::vector<std::string>& args);

const Command kFetch{
    "fetch", "fetch one URL with the program's HTTP client and print the answer",
    "usage: quorvex-cli fetch [--head | --post] [--proxy HOST:PORT] [--save FILE] [--timeout SECONDS]\n"
    "                         [--cookie TEXT] [--referer TEXT] URL\n"
    "\n"
    "Runs one request for URL (GET unless --head or --post; a POST sends the part of the URL after its\n"
    "first \"?\" as the body), following redirects, and prints the status code as a decimal line, every\n"
    "header line of the answer after its status line, an empty line, and the body as raw bytes.\n"
    "The client's own failures are 500 (no number in the status line), 501 (no header block) and 510\n"
    "(lookup, connect, TLS, send or receive failed, time-out, answer too large).\n"
    "\n"
    "  --proxy HOST:PORT   go through this HTTP proxy (port 8080 when empty)\n"
    "  --save FILE         also write every non-empty body to FILE\n"
    "  --timeout SECONDS   bound the connect and every wait for data (0, the default, waits for ever)\n"
    "  --cookie TEXT       send a Cookie line\n"
    "  --referer TEXT      send a Referer line\n"
    "\n"
    "Exit status 0 whatever the status code; 2 when the arguments are wrong.\n",
    RunFetch};

const CommandRegistration kRegistration(kFetch);

struct FetchArgs {
  int method = TSHttp::kGet;
  std::string proxy;
  std::string save;
  int timeOut = 0;
  std::string cookie;
  std::string referer;
  std::string url;
};

// Stores the value of a "--name VALUE" option; false when it is not one.
bool TakeValueOption(const std::vector<std::string>& args, size_t& i, FetchArgs& parsed, std::string& problem) {
  const std::string& arg = args[i];
  std::string* target = arg == "--proxy"     ? &parsed.proxy
                        : arg == "--save"    ? &parsed.save
                        : arg == "--cookie"  ? &parsed.cookie
                        : arg == "--referer" ? &parsed.referer
                                             : nullptr;
  if (target == nullptr && arg != "--timeout") return false;
  if (i + 1 == args.size()) {
    problem = arg + " needs a value";
    return true;
  }
  const std::string& value = args[++i];
  if (target != nullptr) {
    *target = value;
    return true;
  }
  parsed.timeOut = ParseIntOr(value, -1);
  if (parsed.timeOut < 0) problem = "--timeout needs a whole number of seconds";
  return true;
}

std::optional<FetchArgs> ReadArgs(const std::vector<std::string>& args, std::string& problem) {
  FetchArgs parsed;
  bool methodGiven = false;
  for (size_t i = 0; i < args.size() && problem.empty(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--head" || arg == "--post") {
      if (methodGiven) problem = "give at most one of --head and --post";
      parsed.method = arg == "--head" ? TSHttp::kHead : TSHttp::kPost;
      methodGiven = true;
    } else if (TakeValueOption(args, i, parsed, problem)) {
      continue;
    } else if (arg.size() > 1 && arg[0] == '-') {
      problem = "unknown option '" + arg + "'";
    } else if (!parsed.url.empty()) {
      problem = "expected one URL";
    } else {
      parsed.url = arg;
    }
  }
  if (problem.empty() && parsed.url.empty()) problem = "expected a URL";
  if (!problem.empty()) return std::nullopt;
  return parsed;
}

int RunFetch(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<FetchArgs> parsed = ReadArgs(args, problem);
  if (!parsed) return UsageError(kFetch, problem);
  TSHttp http;
  http.Proxy = parsed->proxy;
  http.SaveFile = parsed->save;
  http.TimeOutSeconds = parsed->timeOut;
  http.Cookie = parsed->cookie;
  http.Referer = parsed->referer;
  http.Request(parsed->url, parsed->method);
  std::cout << http.Status << '\n';
  // The decimal status stands for the server's status line (entry 0); the header lines follow it.
  for (size_t i = 1; i < http.Headers.size(); ++i) std::cout << http.Headers[i] << '\n';
  std::cout << '\n';
  std::cout.write(http.Body.data(), static_cast<std::streamsize>(http.Body.size()));
  std::cout.flush();
  return 0;
}

}  // namespace
}  // namespace quorvex::cli
