#!/usr/bin/env bash
# Downloads a 50 MB file from a local nginx with quorvex-cli fetch (TSHttp) and with curl, in turns,
# and reports throughput and peak memory of each: scripts/bench-http.sh [BUILD_DIR] [RUNS]
# BUILD_DIR defaults to build (made by scripts/build.sh); RUNS to 7.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
runs=${2:-7}
cli="$build_dir/bin/quorvex-cli"
[ -x "$cli" ] || { echo "no $cli: run scripts/build.sh $build_dir first" >&2; exit 2; }
for program in nginx curl python3; do
  command -v "$program" >/dev/null || [ -x "/usr/sbin/$program" ] || { echo "$program is missing" >&2; exit 2; }
done

work=$(mktemp -d)
nginx_pid=""
cleanup() {
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/www" "$work/temp"
head -c $((50 * 1024 * 1024)) /dev/urandom >"$work/www/big.bin"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/nginx.conf" <<CONF
daemon off;
master_process off;
pid $work/nginx.pid;
error_log $work/error.log warn;
events { worker_connections 64; }
http {
  access_log off;
  sendfile on;
  tcp_nopush on;
  client_body_temp_path $work/temp/body;
  proxy_temp_path $work/temp/proxy;
  fastcgi_temp_path $work/temp/fastcgi;
  uwsgi_temp_path $work/temp/uwsgi;
  scgi_temp_path $work/temp/scgi;
  server { listen 127.0.0.1:$port; root $work/www; }
}
CONF
nginx_program=$(command -v nginx || echo /usr/sbin/nginx)
"$nginx_program" -p "$work" -c "$work/nginx.conf" -e "$work/error.log" &
nginx_pid=$!

python3 - "$cli" "http://127.0.0.1:$port/big.bin" "$work" "$runs" <<'PY'
import hashlib, os, socket, statistics, subprocess, sys, time

cli, url, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
size = os.path.getsize(os.path.join(work, "www", "big.bin"))
port = int(url.split(":")[2].split("/")[0])
for _ in range(500):
    try:
        socket.create_connection(("127.0.0.1", port), timeout=1).close()
        break
    except OSError:
        time.sleep(0.02)

def run(command):
    """Wall seconds and peak RSS (KiB) of one run; its stdout goes to /dev/null."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=null)
        _, status, usage = os.wait4(process.pid, 0)
        seconds = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{command[0]} failed with status {status}")
    return seconds, usage.ru_maxrss

def digest(path):
    # In chunks: a child starts with its parent's peak RSS, so this process must stay small.
    sha = hashlib.sha256()
    with open(path, "rb") as stream:
        for chunk in iter(lambda: stream.read(1 << 20), b""):
            sha.update(chunk)
    return sha.hexdigest()

# Both must deliver the file byte for byte before they are timed.
expected = digest(os.path.join(work, "www", "big.bin"))
for name, command in (("quorvex", [cli, "fetch", "--save", f"{work}/q.bin", url]),
                      ("curl", ["curl", "-sf", "-o", f"{work}/c.bin", url])):
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    if digest(f"{work}/{name[0]}.bin") != expected:
        sys.exit(f"{name} downloaded other bytes")

commands = {"quorvex": [cli, "fetch", url], "curl": ["curl", "-sf", "-o", os.devnull, url]}
results = {name: [] for name in commands}
for _ in range(runs):
    for name, command in commands.items():
        results[name].append(run(command))

mib = size / (1024 * 1024)
summary = {}
for name, samples in results.items():
    median = statistics.median(seconds for seconds, _ in samples)
    peak = max(rss for _, rss in samples) / 1024
    summary[name] = mib / median
    print(f"{name:8} median {median * 1000:7.1f} ms  {mib / median:8.1f} MiB/s  peak RSS {peak:6.1f} MiB")
print(f"body {mib:.1f} MiB, {runs} runs each; throughput ratio quorvex/curl = "
      f"{summary['quorvex'] / summary['curl']:.2f}")
PY
