#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs them.
#   scripts/fuzz.sh smoke              every target for a few seconds over its corpus (CI)
#   scripts/fuzz.sh campaign [RUNS]    every target for RUNS executions (default 10 000 000), two at a time;
#                                      new coverage is merged into fuzz/corpus, results go to
#                                      build-fuzz/campaign.txt
#   scripts/fuzz.sh run TARGET [RUNS]  one target
# FUZZ_MAX_SECONDS, when set, also bounds each target's time.
# A finding (crash-*, leak-*, timeout-*) is kept in build-fuzz/findings/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR=${CCACHE_DIR:-/var/cache/quorvex-ccache}

# Inputs small enough to explore the format rather than re-parse large pages.
declare -A max_len=(
  [fuzz_code_page]=512 [fuzz_engine_index]=1024 [fuzz_extract]=4096 [fuzz_html_parser]=2048
  [fuzz_http_response]=1024 [fuzz_key_tree]=512 [fuzz_layout_config]=1024 [fuzz_options]=512
  [fuzz_records]=512 [fuzz_unzip]=2048
)

CC=clang CXX=clang++ bash scripts/build.sh build-fuzz -DQUORVEX_BUILD_FUZZ=ON -DQUORVEX_BUILD_GUI=OFF \
  -DQUORVEX_BUILD_TESTS=OFF -DQUORVEX_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo

targets=()
for file in fuzz/fuzz_*.cpp; do targets+=("$(basename "$file" .cpp)"); done
for target in "${targets[@]}"; do
  [ -n "${max_len[$target]:-}" ] || { echo "no input size set for $target in scripts/fuzz.sh" >&2; exit 1; }
done

# run_target TARGET RUNS: one libFuzzer run; prints "TARGET EXECS COV FEATURES FINDINGS".
run_target() {
  local target=$1 runs=$2
  local work=build-fuzz/corpus/$target findings=build-fuzz/findings/$target log=build-fuzz/logs/$target.log
  mkdir -p "$work" "$findings" build-fuzz/logs
  local status=0
  "build-fuzz/fuzz/$target" "$work" "fuzz/corpus/$target" -runs="$runs" -max_len="${max_len[$target]}" \
    -max_total_time="${FUZZ_MAX_SECONDS:-0}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1 || status=$?
  local execs cov features
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  echo "$target ${execs:-0} ${cov:-0} ${features:-0} $(find "$findings" -type f | wc -l)"
  return "$status"
}

case "${1:-smoke}" in
  smoke)
    for target in "${targets[@]}"; do
      "build-fuzz/fuzz/$target" "fuzz/corpus/$target" -max_total_time=5 -max_len="${max_len[$target]}" \
        -timeout=10 -artifact_prefix=build-fuzz/ >"build-fuzz/$target.smoke.log" 2>&1 ||
        { tail -40 "build-fuzz/$target.smoke.log"; echo "fuzz smoke: $target failed" >&2; exit 1; }
      echo "fuzz smoke: $target ok ($(sed -n 's/.*Done \([0-9]*\) runs.*/\1/p' "build-fuzz/$target.smoke.log") runs)"
    done
    ;;
  campaign)
    runs=${2:-10000000}
    export -f run_target
    export max_len_text
    max_len_text=$(declare -p max_len)
    printf '%s\n' "${targets[@]}" |
      xargs -P 2 -I{} bash -c 'eval "$max_len_text"; run_target "$1" "$2"' _ {} "$runs" |
      tee build-fuzz/campaign.txt
    for target in "${targets[@]}"; do
      "build-fuzz/fuzz/$target" -merge=1 "fuzz/corpus/$target" "build-fuzz/corpus/$target" \
        -max_len="${max_len[$target]}" >/dev/null 2>&1
    done
    ;;
  run)
    run_target "$2" "${3:-10000000}"
    ;;
  *)
    echo "usage: scripts/fuzz.sh smoke | campaign [RUNS] | run TARGET [RUNS]" >&2
    exit 2
    ;;
esac
