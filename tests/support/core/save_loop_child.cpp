#include <chrono>
#include <cstdio>
#include <filesystem>

#include "support/kept_files.h"

// Started by the crash-safety test in a folder it owns: saves version 0 of every kept file, says
// "saving" with the microseconds one full save took, then saves versions 1 and 0 in turn until it is
// killed.
int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::filesystem::path folder = argv[1];
  quorvex::test::KeptFiles versions[] = {quorvex::test::KeptFiles(0), quorvex::test::KeptFiles(1)};
  const auto start = std::chrono::steady_clock::now();
  if (!versions[0].Save(folder).Empty()) return 1;
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  std::printf("saving %lld\n", static_cast<long long>(took.count()));
  std::fflush(stdout);
  for (int round = 1;; ++round) {
    if (!versions[round % 2].Save(folder).Empty()) return 1;
  }
}
