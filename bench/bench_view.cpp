// View rebuild + sort of one keyword's results (goal: 10 000 results in under 2 ms, since the result
// list rebuilds at every paint) and the memory one stored result takes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <random>
#include <string>

#include "core/store/TOneKey.h"
#include "core/view/TFilter.h"
#include "core/view/result_view.h"

using namespace quorvex;

namespace {

constexpr int kResults = 10000;

// Results shaped like real ones: URLs with and without https and www, titles and summaries of typical length, a few
// engine names, scores in the usual range and many ties.
void FillKey(TOneKey& key, int count) {
  std::mt19937 random(42);
  const char* engines[] = {"Alpha", "Alpha;Beta", "Beta;Gamma;Alpha", "Gamma"};
  for (int i = 0; i < count; ++i) {
    const unsigned n = random();
    TOneResult result;
    result.Url = std::string(n % 2 != 0 ? "https://" : "http://") + (n % 3 != 0 ? "www." : "") + "site" +
                 std::to_string(n % 5000) + ".com/path/" + std::to_string(i) + "/page.html";
    result.Title = "Title " + std::to_string(n % 977) + " about the keyword and something more";
    result.Summary = std::string(140, 'x') + std::to_string(i);
    result.Engines = engines[n % 4];
    result.Score = 100 + static_cast<int>(n % 200);
    result.PageState = static_cast<std::uint8_t>(n % 4);
    result.Visited = static_cast<std::uint8_t>(n % 7 == 0);
    result.Found = 45000 + (n % 1000) / 10.0;
    std::string keyText = TResultList::KeyOf(result.Url);
    key.Results.Add(std::move(keyText), std::move(result));
  }
}

TOneKey& SharedKey() {
  static TOneKey key("keyword", 45000, 0, 0);
  if (key.Results.Empty()) FillKey(key, kResults);
  return key;
}

void BM_RebuildView(benchmark::State& state) {
  TOneKey& key = SharedKey();
  const TFilter filter;
  ViewCursor cursor;
  const int sortMethod = static_cast<int>(state.range(0));
  for (auto _ : state) {
    RebuildView(&key, filter, sortMethod, cursor);
    benchmark::DoNotOptimize(key.View.data());
  }
  state.SetItemsProcessed(state.iterations() * kResults);
}
BENCHMARK(BM_RebuildView)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

void BM_RebuildViewFiltered(benchmark::State& state) {
  TOneKey& key = SharedKey();
  TFilter filter;
  filter.Contains = "about the keyword and something mo";  // found late in every title
  filter.Engine = "Beta";
  ViewCursor cursor;
  for (auto _ : state) {
    RebuildView(&key, filter, 1, cursor);
    benchmark::DoNotOptimize(key.View.data());
  }
}
BENCHMARK(BM_RebuildViewFiltered)->Unit(benchmark::kMicrosecond);

// Heap growth per stored result (record, texts, key and look-up entry), measured with the allocator's
// own count of bytes in use.
void BM_MemoryPerResult(benchmark::State& state) {
  double perResult = 0;
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    auto key = std::make_unique<TOneKey>("keyword", 45000, 0, 0);
    FillKey(*key, kResults);
    perResult = static_cast<double>(mallinfo2().uordblks - before) / kResults;
  }
  state.counters["bytes_per_result"] = perResult;
}
BENCHMARK(BM_MemoryPerResult)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
