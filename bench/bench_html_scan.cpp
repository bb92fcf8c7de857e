// Throughput of the HTML scanner over the saved result pages of tests/fixtures/serp/, page by page and over
// all of them, side by side with libxml2's HTML SAX parser doing the same job (tags and texts to callbacks).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/file_io.h"
#include "core/net/THtmlParser.h"

#ifdef QUORVEX_HAVE_LIBXML2
#include <libxml/HTMLparser.h>
#endif

namespace {

struct Page {
  std::string name;
  std::string bytes;
};

std::vector<Page> LoadPages() {
  std::vector<Page> pages;
  const std::filesystem::path folder = std::filesystem::path(QUORVEX_SOURCE_DIR) / "tests/fixtures/serp";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() != ".html") continue;
    if (auto bytes = quorvex::ReadWholeFile(entry.path())) pages.push_back({entry.path().stem().string(), *bytes});
  }
  std::sort(pages.begin(), pages.end(), [](const Page& a, const Page& b) { return a.name < b.name; });
  return pages;
}

size_t TotalSize(const std::vector<const Page*>& pages) {
  size_t total = 0;
  for (const Page* page : pages) total += page->bytes.size();
  return total;
}

// What a reader of result pages does: look at every tag and every text.
void Scan(benchmark::State& state, const std::vector<const Page*>& pages, bool rebuild) {
  quorvex::THtmlParser parser;
  size_t events = 0;
  parser.OnHtmlTag = [&events](quorvex::THtmlParser&, std::string& name, quorvex::NameValueList& param, size_t) {
    events += 1 + param.Count();
    benchmark::DoNotOptimize(name.data());
  };
  parser.OnHtmlText = [&events](quorvex::THtmlParser&, std::string& text) {
    ++events;
    benchmark::DoNotOptimize(text.data());
  };
  parser.SaveChange = rebuild;
  for (auto _ : state) {
    for (const Page* page : pages) {
      parser.Content = page->bytes;
      parser.Parse();
      benchmark::DoNotOptimize(parser.Content.data());
    }
  }
  state.counters["events"] = static_cast<double>(events) / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(TotalSize(pages)));
}

#ifdef QUORVEX_HAVE_LIBXML2
void CountStart(void* events, const xmlChar*, const xmlChar** attributes) {
  auto& count = *static_cast<size_t*>(events);
  ++count;
  for (const xmlChar** attribute = attributes; attribute != nullptr && *attribute != nullptr; attribute += 2) ++count;
}
void CountEnd(void* events, const xmlChar*) { ++*static_cast<size_t*>(events); }
void CountText(void* events, const xmlChar*, int) { ++*static_cast<size_t*>(events); }

void Libxml2Sax(benchmark::State& state, const std::vector<const Page*>& pages) {
  htmlSAXHandler sax{};
  sax.startElement = CountStart;
  sax.endElement = CountEnd;
  sax.characters = CountText;
  size_t events = 0;
  for (auto _ : state) {
    for (const Page* page : pages) {
      htmlParserCtxtPtr context = htmlCreatePushParserCtxt(&sax, &events, nullptr, 0, nullptr, XML_CHAR_ENCODING_NONE);
      htmlCtxtUseOptions(context, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
      htmlParseChunk(context, page->bytes.data(), static_cast<int>(page->bytes.size()), 1);
      htmlFreeParserCtxt(context);
    }
  }
  state.counters["events"] = static_cast<double>(events) / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(TotalSize(pages)));
}
#endif

void RegisterAll(const std::vector<Page>& pages) {
  std::vector<const Page*> all;
  for (const Page& page : pages) all.push_back(&page);
  auto registerSet = [](const std::string& label, const std::vector<const Page*>& set) {
    benchmark::RegisterBenchmark(("scan/" + label).c_str(), Scan, set, false);
    benchmark::RegisterBenchmark(("scan_rebuild/" + label).c_str(), Scan, set, true);
#ifdef QUORVEX_HAVE_LIBXML2
    benchmark::RegisterBenchmark(("libxml2_sax/" + label).c_str(), Libxml2Sax, set);
#endif
  };
  registerSet("all_pages", all);
  for (const Page* page : all) registerSet(page->name, {page});
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Page> pages = LoadPages();
  if (pages.empty()) return 1;
  RegisterAll(pages);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
#ifdef QUORVEX_HAVE_LIBXML2
  xmlCleanupParser();
#endif
  return 0;
}
