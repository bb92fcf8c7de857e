#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/app/AppState.h"
#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/store/TOneKey.h"
#include "search_test_support.h"
#include "support/test_support.h"

using namespace quorvex;
using namespace quorvex::test;

namespace {

// The names in the engines field (the last one) of every line sorted: the engines of a shared result
// are listed in the order their pages happened to arrive.
std::string WithSortedEngines(const std::string& out) {
  std::string sorted;
  for (const std::string& line : SplitLines(out)) {
    if (line.empty()) continue;
    const size_t tab = line.rfind('\t');
    std::vector<std::string> names;
    for (size_t from = tab + 1;;) {
      const size_t semicolon = line.find(';', from);
      names.push_back(line.substr(from, semicolon - from));
      if (semicolon == std::string::npos) break;
      from = semicolon + 1;
    }
    std::sort(names.begin(), names.end());
    sorted += line.substr(0, tab + 1);
    for (size_t i = 0; i < names.size(); ++i) sorted += (i ? ";" : "") + names[i];
    sorted += '\n';
  }
  return sorted;
}

std::filesystem::path CliSearchResultDir() {
  return std::filesystem::path(QUORVEX_CLI_PATH).parent_path() / "SearchResult";
}

TEST(SearchCli, TheOfflineDemoMergesItsEnginesFromAnyWorkingFolder) {
  TempDir work;
  const CliResult result = RunCli({"search", "--order", "1", "rainwater harvesting"}, work.Path());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> byScore = SplitLines(WithSortedEngines(result.out));
  ASSERT_EQ(byScore.size(), 12u);
  EXPECT_TRUE(byScore.front().starts_with("S\t294\thttps://wiki.example/Rainwater_harvesting\tRainwater harvesting - "));
  EXPECT_TRUE(byScore.front().ends_with("\t4\tAmberline;Bluestone;Driftmoor"));

  const std::vector<std::string> progress = SplitLines(result.err);
  EXPECT_EQ(progress.front(), "Searching...:rainwater harvesting");
  EXPECT_EQ(progress.back(), "Finished");
  const std::set<std::string> lines(progress.begin(), progress.end());
  for (const char* line : {"Amberline: Downloading:6", "Bluestone: Downloading:5", "Copperleaf: Downloading:5",
                           "Driftmoor: Downloading:4"}) {
    EXPECT_TRUE(lines.count(line)) << line;
  }
  EXPECT_FALSE(std::filesystem::exists(work / "AllKey.txt"));

  // As found: the same results, in the order the pages happened to arrive.
  const CliResult asFound = RunCli({"search", "rainwater harvesting"}, work.Path());
  ASSERT_EQ(asFound.exitCode, 0);
  const std::vector<std::string> found = SplitLines(WithSortedEngines(asFound.out));
  EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), std::set<std::string>(byScore.begin(), byScore.end()));
}

TEST(SearchCli, SaveFilesTheKeywordAndItsResults) {
  TempDir work;
  work.Write("AllKey.txt", "\"older\",\"Offline demo\",\"0\",\"45000\",\"0\",\"\",\"0\",\"0\"\r\n");
  const CliResult result = RunCli({"search", "--save", "--all", "5", "rainwater harvesting"}, work.Path());
  ASSERT_EQ(result.exitCode, 0) << result.err;

  const std::vector<std::string> lines = SplitLines(ReadWholeFile(work / "AllKey.txt").value_or(""));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].starts_with("\"older\""));
  const std::vector<std::string> categories = {"Offline demo"};
  const auto saved = TOneKey::FromLine(lines[1], categories);
  EXPECT_EQ(saved->Keyword, "rainwater harvesting");
  EXPECT_EQ(saved->Category, 0);
  EXPECT_EQ(saved->ResultCount, 12);  // the limit stops paging only; every page is merged whole

  ASSERT_TRUE(saved->LoadResults(CliSearchResultDir()));
  EXPECT_EQ(saved->Results.Count(), 12u);
  std::filesystem::remove(saved->ResultFile(CliSearchResultDir()));
}

TEST(SearchCli, ACategoryOfAnotherEngineFolderSearchesItsCheckedEnginesOnly) {
  TempDir engines;
  const auto page = [](const std::string& url) {
    return "<ol><li><a href=\"" + url + "\">title</a><p>s</p></li></ol>";
  };
  engines.Write("Index.txt", "[One,1]\r\nA=a.txt\r\n[Two]\r\nB=b.txt\r\nC=c.txt,0\r\nD=d.txt\r\n");
  engines.Write("a.txt", ListDefinition("a.html"));
  engines.Write("b.txt", ListDefinition("b.html"));
  engines.Write("c.txt", ListDefinition("c.html"));
  engines.Write("d.txt", ListDefinition("http://127.0.0.1:1/"));
  engines.Write("a.html", page("http://a.example/x"));
  engines.Write("b.html", page("http://b.example/\\\t"));
  engines.Write("c.html", page("http://c.example/"));
  const CliResult result =
      RunCli({"search", "--engines", engines.Path().string(), "--category", "Two", "--per-engine", "3", "--", "-k"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "S\t164\thttp://b.example/\\\\\ttitle\ts\t4\tB\n");
  EXPECT_NE(result.err.find("B: Finished:1\n"), std::string::npos);
  // A failed engine says why beside its state.
  EXPECT_NE(result.err.find("D: Finished:0 (Conncet_error: 127.0.0.1:1: Connection refused)\n"), std::string::npos)
      << result.err;
  EXPECT_EQ(result.err.find("C: "), std::string::npos);
  EXPECT_EQ(result.err.find("A: "), std::string::npos);
}

TEST(SearchCli, WrongArgumentsAndMissingEnginesAreReported) {
  TempDir empty;
  EXPECT_EQ(RunCli({"search", "--category", "No such", "k"}).exitCode, 2);
  EXPECT_EQ(RunCli({"search", "--engines", empty.Path().string(), "k"}).exitCode, 2);
  EXPECT_EQ(RunCli({"search", "--order", "8", "k"}).exitCode, 2);
  EXPECT_EQ(RunCli({"search", "--per-engine", "many", "k"}).exitCode, 2);
  EXPECT_EQ(RunCli({"search", "k", "l"}).exitCode, 2);
  EXPECT_EQ(RunCli({"search", "--save"}).exitCode, 2);
  EXPECT_EQ(RunCli({"search", "--frobnicate", "k"}).exitCode, 2);
  const CliResult help = RunCli({"search", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.starts_with("usage: quorvex-cli search"));
}

}  // namespace
