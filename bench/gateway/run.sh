#!/usr/bin/env bash
# Load benchmark of brisora-gateway: builds Release, starts the gateway on loopback with the
# demo source (no network), warms its cache, then runs wrk with 100 keep-alive connections
# against the feed and prints requests/s and the 99th-percentile latency.
#
#   bench/gateway/run.sh                 # build into build-gw-bench and run
#   GATEWAY_BIN=path/to/brisora-gateway bench/gateway/run.sh   # use a built binary
#   DURATION=30s CONNECTIONS=100 THREADS=2 bench/gateway/run.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${BUILD_DIR:-$root/build-gw-bench}"
duration="${DURATION:-10s}"
connections="${CONNECTIONS:-100}"
threads="${THREADS:-2}"

command -v wrk >/dev/null || { echo "wrk is not installed (apt-get install -y wrk)" >&2; exit 1; }

if [[ -z "${GATEWAY_BIN:-}" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DBRISORA_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" -j2 --target brisora-gateway >/dev/null
    GATEWAY_BIN="$(find "$build" -type f -name brisora-gateway -perm -u+x | head -n1)"
fi

log="$(mktemp)"
"$GATEWAY_BIN" --demo --listen 127.0.0.1:0 >"$log" 2>&1 &
gateway_pid=$!
trap 'kill "$gateway_pid" 2>/dev/null || true; rm -f "$log"' EXIT

port=""
for _ in $(seq 1 100); do
    # The start line comes twice: on standard output and in the log on standard error.
    port="$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log" | head -n1)"
    [[ -n "$port" ]] && break
    sleep 0.05
done
[[ -n "$port" ]] || { echo "gateway did not start:" >&2; cat "$log" >&2; exit 1; }

url="http://127.0.0.1:$port/forecastrss?w=6000000006&u=c"
# Warm the cache: the first request renders and stores the document.
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'GET /forecastrss?w=6000000006&u=c HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' >&3
cat <&3 >/dev/null
exec 3<&-

echo "brisora-gateway load: $connections keep-alive connections, $threads wrk threads, $duration, warm cache"
result="$(wrk -t"$threads" -c"$connections" -d"$duration" --latency "$url")"
echo "$result" | sed -n '/Latency Distribution/,/99%/p'
rps="$(echo "$result" | awk '/Requests\/sec/ {print $2}')"
p99="$(echo "$result" | awk '$1 == "99%" {print $2}')"
errors="$(echo "$result" | grep -E 'Non-2xx|Socket errors' || true)"
echo "requests/s: $rps"
echo "p99 latency: $p99"
[[ -z "$errors" ]] || echo "$errors"
