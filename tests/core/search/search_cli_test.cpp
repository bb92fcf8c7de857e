#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/store/TOneKey.h"
#include "search_test_support.h"
#include "support/test_support.h"

using namespace quorvex;
using namespace quorvex::test;

namespace {

// The lines of out with the names in the engines field (the last one) sorted: the engines of a shared
// result are listed in the order their pages happened to arrive.
std::vector<std::string> WithSortedEngines(const std::string& out) {
  std::vector<std::string> lines;
  for (const std::string& line : SplitLines(out)) {
    if (line.empty()) continue;
    const size_t tab = line.rfind('\t');
    std::string sorted = line.substr(0, tab + 1);
    for (const std::string& name : EngineNames(std::string_view(line).substr(tab + 1))) sorted += name + ";";
    sorted.pop_back();
    lines.push_back(sorted);
  }
  return lines;
}

TEST(SearchCli, TheOfflineDemoMergesItsEnginesFromAnyWorkingFolderAndSaves) {
  TempDir work;
  const CliResult result = RunCli({"search", "--order", "1", "rainwater harvesting"}, work.Path());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> byScore = WithSortedEngines(result.out);
  ASSERT_EQ(byScore.size(), 12u);
  EXPECT_TRUE(byScore.front().starts_with("S\t294\thttps://wiki.example/Rainwater_harvesting\tRainwater harvesting - "));
  EXPECT_TRUE(byScore.front().ends_with("\t4\tAmberline;Bluestone;Driftmoor"));
  const std::vector<std::string> progress = SplitLines(result.err);
  EXPECT_EQ(progress.front(), "Searching...:rainwater harvesting");
  EXPECT_EQ(progress.back(), "Finished");
  const std::set<std::string> lines(progress.begin(), progress.end());
  EXPECT_TRUE(lines.count("Amberline: Downloading:6"));
  EXPECT_FALSE(std::filesystem::exists(work / "AllKey.txt"));

  // As found: the same results, in the order the pages happened to arrive; saved behind older keywords.
  work.Write("AllKey.txt", "\"older\",\"Offline demo\",\"0\",\"45000\",\"0\",\"\",\"0\",\"0\"\r\n");
  const CliResult asFound = RunCli({"search", "--save", "--all", "5", "rainwater harvesting"}, work.Path());
  ASSERT_EQ(asFound.exitCode, 0);
  const std::vector<std::string> found = WithSortedEngines(asFound.out);
  EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), std::set<std::string>(byScore.begin(), byScore.end()));
  const std::vector<std::string> saved = SplitLines(ReadWholeFile(work / "AllKey.txt").value_or(""));
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_TRUE(saved[0].starts_with("\"older\""));
  const auto key = TOneKey::FromLine(saved[1], {"Offline demo"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->Keyword, "rainwater harvesting");
  EXPECT_EQ(key->ResultCount, 12);  // the limit stops paging only; every page is merged whole
  const auto results = std::filesystem::path(QUORVEX_CLI_PATH).parent_path() / "SearchResult";
  ASSERT_TRUE(key->LoadResults(results));
  EXPECT_EQ(key->Results.Count(), 12u);
  std::filesystem::remove(key->ResultFile(results));
}

TEST(SearchCli, ACategoryOfAnotherEngineFolderSearchesItsCheckedEnginesOnly) {
  TempDir engines;
  engines.Write("Index.txt", "[One,1]\r\nA=a.txt\r\n[Two]\r\nB=b.txt\r\nC=c.txt,0\r\nD=d.txt\r\n");
  for (const char* name : {"a", "b", "c"}) engines.Write(name + std::string(".txt"), ListDefinition(name + std::string(".html")));
  engines.Write("d.txt", ListDefinition("http://127.0.0.1:1/"));
  for (const auto& [page, url] : {std::pair{"a.html", "http://a.example/x"}, {"b.html", "http://b.example/\\\t"},
                                  {"c.html", "http://c.example/"}}) {
    engines.Write(page, ResultFile({{url, "title", "s"}}));
  }
  const CliResult result =
      RunCli({"search", "--engines", engines.Path().string(), "--category", "Two", "--per-engine", "3", "--", "-k"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "S\t164\thttp://b.example/\\\\\ttitle\ts\t4\tB\n");
  EXPECT_NE(result.err.find("B: Finished:1\n"), std::string::npos);
  // A failed engine says why beside its state.
  EXPECT_NE(result.err.find("D: Finished:0 (Conncet_error: 127.0.0.1:1: Connection refused)\n"), std::string::npos)
      << result.err;
  EXPECT_TRUE(result.err.ends_with(
      "Finished\n1 of 2 engines gave nothing: D (Conncet_error: 127.0.0.1:1: Connection refused)\n"))
      << result.err;
  EXPECT_EQ(result.err.find("C: "), std::string::npos);
  EXPECT_EQ(result.err.find("A: "), std::string::npos);
}

// Every command shares one argument parser; this checks it once and each command's own operands.
TEST(Cli, WrongArgumentsExitTwoWithTheUsageAndHelpExitsZero) {
  TempDir dir;
  const std::string page = dir.Write("page.html", "<b>x</b>").string();
  const std::string missing = (dir / "none.html").string();
  const std::vector<std::vector<std::string>> wrong = {
      {"search", "--category", "No such", "k"}, {"search", "--order", "8", "k"},
      {"search", "--per-engine", "many", "k"},  {"search", "--frobnicate", "k"},
      {"fetch", "--head", "--post", "http://x/"}, {"extract", page, page, "--key"},
      {"extract", missing, page},               {"tags", missing},
      {"unzip", "only-one-argument"}};
  for (const std::vector<std::string>& args : wrong) {
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.exitCode, 2) << args.back();
    EXPECT_EQ(result.out, "") << args.back();
    EXPECT_FALSE(result.err.empty()) << args.back();
  }
  EXPECT_NE(RunCli({"tags", missing}).err.find("none.html"), std::string::npos);
  for (const char* command : {"search", "fetch", "extract", "tags", "unzip"}) {
    const CliResult help = RunCli({command, "--help"});
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_TRUE(help.out.starts_with("usage: quorvex-cli " + std::string(command))) << command;
  }
}

}  // namespace
