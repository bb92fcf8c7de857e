#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs them.
#   scripts/fuzz.sh smoke              every target for a few seconds over its corpus (CI)
#   scripts/fuzz.sh campaign [RUNS [TARGET...]]
#                                      every target (or those named) for RUNS executions (default
#                                      10 000 000), two at a time; fuzz/corpus is then minimised over
#                                      what it and the campaign reached; results are added to
#                                      build-fuzz/campaign.txt
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
      # New inputs go to the first folder, a scratch one: the kept corpus changes only by a campaign's merge.
      rm -rf "build-fuzz/smoke/$target" && mkdir -p "build-fuzz/smoke/$target"
      "build-fuzz/fuzz/$target" "build-fuzz/smoke/$target" "fuzz/corpus/$target" -max_total_time=5 -max_len="${max_len[$target]}" \
        -timeout=10 -artifact_prefix=build-fuzz/ >"build-fuzz/$target.smoke.log" 2>&1 ||
        { tail -40 "build-fuzz/$target.smoke.log"; echo "fuzz smoke: $target failed" >&2; exit 1; }
      echo "fuzz smoke: $target ok ($(sed -n 's/.*Done \([0-9]*\) runs.*/\1/p' "build-fuzz/$target.smoke.log") runs)"
    done
    ;;
  campaign)
    runs=${2:-10000000}
    (($# > 2)) && targets=("${@:3}")
    export -f run_target
    export max_len_text
    max_len_text=$(declare -p max_len)
    # A target that stops on a finding does not stop the others, nor the merge below.
    printf '%s\n' "${targets[@]}" |
      xargs -P 2 -I{} bash -c 'eval "$max_len_text"; run_target "$1" "$2" || true' _ {} "$runs" |
      tee -a build-fuzz/campaign.txt
    # The kept corpus becomes the smallest set that covers what it and the campaign reached; named
    # inputs (the seeds, and the inputs of past findings) stay whatever the merge chose.
    for target in "${targets[@]}"; do
      merged=build-fuzz/merged/$target
      rm -rf "$merged" && mkdir -p "$merged"
      "build-fuzz/fuzz/$target" -merge=1 "$merged" "fuzz/corpus/$target" "build-fuzz/corpus/$target" \
        -max_len="${max_len[$target]}" >"build-fuzz/logs/$target.merge.log" 2>&1
      find "fuzz/corpus/$target" -type f -regextype posix-extended ! -regex '.*/[0-9a-f]{40}' -exec cp {} "$merged/" \;
      rm -rf "fuzz/corpus/$target" && mv "$merged" "fuzz/corpus/$target"
    done
    ;;
  *)
    echo "usage: scripts/fuzz.sh smoke | campaign [RUNS [TARGET...]]" >&2
    exit 2
    ;;
esac
