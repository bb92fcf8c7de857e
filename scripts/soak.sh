#!/usr/bin/env bash
# The soak under the sanitizers: builds quorvex-soak with AddressSanitizer + UBSan (leaks checked at the
# end) in build-soak-asan and with ThreadSanitizer in build-soak-tsan, runs each for SECONDS (default
# 600) with the same SEED (default random), side by side, and prints one line per sanitizer: operations, peak RSS and
# the result. Any sanitizer report, hang or failed check fails the script.
#   scripts/soak.sh [SECONDS] [SEED]        (JOBS=N limits the build's parallel jobs)
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
seed=${2:-$((RANDOM * 32768 + RANDOM))}
jobs=${JOBS:-$(nproc)}
export CCACHE_DIR=${CCACHE_DIR:-/var/cache/quorvex-ccache}
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# soak NAME SANITIZER ENVIRONMENT...: builds and runs one soak; its summary line goes to $logs/NAME.line.
soak() {
  local name=$1 sanitizer=$2 dir=build-soak-$1
  shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_SANITIZE="$sanitizer" \
    -DQUORVEX_BUILD_GUI=OFF -DQUORVEX_BUILD_TESTS=OFF -DQUORVEX_BUILD_BENCH=ON >/dev/null &&
    cmake --build "$dir" --target quorvex-soak -j "$jobs" >"$logs/$name.build" 2>&1
  if [ $? -ne 0 ]; then
    tail -n 30 "$logs/$name.build" >&2
    echo "$name: build failed" >"$logs/$name.line"
    return 1
  fi
  echo "== $name: $seconds s, seed $seed ==" >&2
  # The watchdog inside ends a hang after 60 s; the time limit here only guards against a stuck exit.
  env "$@" timeout -s ABRT $((seconds + 600)) "$dir/bench/quorvex-soak" "$seconds" "$seed" \
    >"$logs/$name.out" 2>"$logs/$name.err"
  local status=$?
  cat "$logs/$name.out"
  local summary result=passed
  summary=$(grep -o '[0-9]* operations.*' "$logs/$name.out" | sed 's/ (.*)//')
  if grep -qE 'ERROR: (Address|Leak)Sanitizer|WARNING: ThreadSanitizer|runtime error:|quorvex-soak: FAILED' \
    "$logs/$name.err" || [ $status -ne 0 ]; then
    tail -n 60 "$logs/$name.err" >&2
    result="FAILED (exit status $status)"
  fi
  echo "$name: ${summary:-no summary}: $result" >"$logs/$name.line"
  [ "$result" = passed ]
}

# The two soaks run side by side, one per core.
soak asan address ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 &
asan_pid=$!
soak tsan thread TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 &
tsan_pid=$!
wait $asan_pid
asan=$?
wait $tsan_pid
tsan=$?
echo "== summary (seed $seed) =="
cat "$logs/asan.line" "$logs/tsan.line"
[ $asan -eq 0 ] && [ $tsan -eq 0 ]
