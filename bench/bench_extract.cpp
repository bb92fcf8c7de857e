// Extraction throughput over the saved result pages of tests/fixtures/serp/ with the shipped definition of
// each page's engine: cutting the result area, scanning it, matching the template and running the rules,
// as one page of a search does. Beside each, the bare scan of the whole page for comparison.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/engines/TEngineDefinition.h"
#include "core/net/THtmlParser.h"

namespace {

struct EnginePage {
  std::string name;
  quorvex::TEngineDefinition definition;
  std::string bytes;
};

// Page stem and the engine whose definition reads it.
constexpr std::pair<const char*, const char*> kPages[] = {
    {"google-sescraper-1", "google"},   {"google-basic-aql-1", "google"},
    {"bing-googlescraper-1", "bing"},   {"duckduckgo-html-googlescraper-1", "duckduckgo"},
    {"yahoo-googlescraper-1", "yahoo"}, {"ask-aql-1", "ask"},
    {"brave-aql-1", "brave"},           {"qwant-aql-1", "qwant"},
    {"baidu-googlescraper-1", "baidu"}, {"sogou-aql-2", "sogou"},
    {"so360-aql-1", "so360"},           {"naver-aql-1", "naver"},
    {"yandex-googlescraper-1", "yandex"}};

std::optional<EnginePage> LoadPage(const char* page, const char* engine) {
  const std::string root = QUORVEX_SOURCE_DIR;
  const auto bytes = quorvex::ReadWholeFile(root + "/tests/fixtures/serp/" + page + ".html");
  const auto definition = quorvex::ReadWholeFile(root + "/data/engines/" + engine + ".txt");
  if (!bytes || !definition) return std::nullopt;
  std::vector<std::string> lines = quorvex::SplitLines(*definition);
  lines.insert(lines.begin(), "key=test");
  EnginePage loaded{page, {}, *bytes};
  loaded.definition.LoadDefinition(lines);
  return loaded;
}

size_t TotalSize(const std::vector<const EnginePage*>& pages) {
  size_t total = 0;
  for (const EnginePage* page : pages) total += page->bytes.size();
  return total;
}

void Extract(benchmark::State& state, const std::vector<const EnginePage*>& pages) {
  quorvex::THtmlParser parser;
  size_t records = 0;
  for (auto _ : state) {
    for (const EnginePage* page : pages) {
      quorvex::TEngineDefinition definition = page->definition;  // a fresh search: the head record alone
      const auto error = definition.ExtractPage(parser, std::string(definition.CutResultArea(page->bytes)),
                                                "http://www.example.com/search?q=test",
                                                definition.NextLinkText(definition.FirstStart(), definition.Step()));
      benchmark::DoNotOptimize(error);
      records += definition.KeptRecords().size() - 1;
    }
  }
  state.counters["records"] = static_cast<double>(records) / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(TotalSize(pages)));
}

// The scanner alone over the whole page, handlers that only look at what they get.
void Scan(benchmark::State& state, const std::vector<const EnginePage*>& pages) {
  quorvex::THtmlParser parser;
  parser.OnHtmlTag = [](quorvex::THtmlParser&, std::string& name, quorvex::NameValueList&, size_t) {
    benchmark::DoNotOptimize(name.data());
  };
  parser.OnHtmlText = [](quorvex::THtmlParser&, std::string& text) { benchmark::DoNotOptimize(text.data()); };
  for (auto _ : state) {
    for (const EnginePage* page : pages) {
      parser.Content = page->bytes;
      parser.Parse();
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(TotalSize(pages)));
}

void RegisterAll(const std::vector<EnginePage>& pages) {
  std::vector<const EnginePage*> all;
  for (const EnginePage& page : pages) all.push_back(&page);
  auto registerSet = [](const std::string& label, const std::vector<const EnginePage*>& set) {
    benchmark::RegisterBenchmark(("extract/" + label).c_str(), Extract, set);
    benchmark::RegisterBenchmark(("scan_only/" + label).c_str(), Scan, set);
  };
  registerSet("all_pages", all);
  for (const EnginePage* page : all) registerSet(page->name, {page});
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<EnginePage> pages;
  for (const auto& [page, engine] : kPages) {
    if (auto loaded = LoadPage(page, engine)) pages.push_back(std::move(*loaded));
  }
  if (pages.empty()) return 1;
  RegisterAll(pages);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
