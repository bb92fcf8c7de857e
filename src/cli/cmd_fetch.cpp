#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli/arg_parser.h"
#include "cli/command.h"
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
  bool head = false;
  bool post = false;
  std::string proxy;
  std::string save;
  int timeOut = 0;
  std::string cookie;
  std::string referer;
  std::string url;
};

std::optional<FetchArgs> ReadArgs(const std::vector<std::string>& args, std::string& problem) {
  FetchArgs parsed;
  const auto operands = ArgParser()
                            .Switch("--head", parsed.head)
                            .Switch("--post", parsed.post)
                            .Text("--proxy", parsed.proxy)
                            .Text("--save", parsed.save)
                            .Number("--timeout", parsed.timeOut, 0, std::numeric_limits<int>::max())
                            .Text("--cookie", parsed.cookie)
                            .Text("--referer", parsed.referer)
                            .Parse(args, problem);
  if (!operands) return std::nullopt;
  if (parsed.head && parsed.post) problem = "give at most one of --head and --post";
  if (operands->size() != 1) problem = "expected one URL";
  if (!problem.empty()) return std::nullopt;
  parsed.url = operands->front();
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
  http.Request(parsed->url, parsed->head ? TSHttp::kHead : parsed->post ? TSHttp::kPost : TSHttp::kGet);
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
