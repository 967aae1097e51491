#!/usr/bin/env bash
# Soak test (not part of CI): sends POSTS realistic posts (default 2000) to each program over
# loopback with the simulated keyboard, both programs at once, and reports per program the
# CPU time it spent per post and its resident memory before the first post, halfway and
# after the last (warm-up growth shows in the first half; a leak in the second too). Each program pauses 200 ms after every post, so 2000 posts take about 7 minutes.
#   tools/soak.sh [POSTS]
# Uses the default build (built first when needed); the run's files go to build/default/soak.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
posts=${1:-2000}

cmake --preset default >/dev/null
cmake --build --preset default --target heroglow roundglow keyboard_simulator >/dev/null

build="$root/build/default"
# Each program's port, app id and folder, from the games table.
source "$build/games.sh"
simulator="$build/keyboard_simulator/libkeyboard_simulator.so"
run="$build/soak"
rm -rf "$run"
mkdir -p "$run"
# shellcheck source=tools/simulator-registry.sh
. "$root/tools/simulator-registry.sh"
write_simulator_registry "$run/registry.reg" "$simulator"

pids=()
stop() {
  kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap stop EXIT

ticks=$(getconf CLK_TCK)
# user + system CPU time of a process, in clock ticks (fields 14 and 15 of its stat line,
# counted after the parenthesised name, which may hold spaces).
cpu_ticks() { sed -e 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# soak NAME BINARY PORT APP_ID DATA_FOLDER: runs one program and posts to it; prints its line.
soak() {
  local name=$1 binary=$2 port=$3 app=$4 data=$5
  HOME="$run" LUMO_REGISTRY="$run/registry.reg" LUMO_OPTIONS="$run/options-$name.json" \
    LUMO_SIM_STATE="$run/state-$name.json" HEROGLOW_ITEM_FEED_URL="http://127.0.0.1:9/" \
    "$binary" >"$run/$name.out" 2>&1 &
  local pid=$!
  for _ in $(seq 100); do
    grep -q "Server connected" "$run/$name.out" 2>/dev/null && break
    sleep 0.1
  done
  if ! grep -q "Server connected" "$run/$name.out"; then
    echo "$name did not start:" >&2
    cat "$run/$name.out" >&2
    return 1
  fi
  sleep 1  # start-up's own pause and first writes
  local files=("$data"/*.json)
  local cpu_before rss_before rss_half=0
  cpu_before=$(cpu_ticks "$pid")
  rss_before=$(rss_kib "$pid")
  for ((i = 0; i < posts; i++)); do
    ((i == posts / 2)) && rss_half=$(rss_kib "$pid")
    # The program never answers; curl ends when it closes the connection.
    curl -s -m 5 -o /dev/null -A "Valve/Steam HTTP Client 1.0 ($app)" -H "Content-Type: application/json" \
      --data-binary "@${files[i % ${#files[@]}]}" "http://127.0.0.1:$port/" || true
  done
  local cpu_after rss_after
  cpu_after=$(cpu_ticks "$pid")
  rss_after=$(rss_kib "$pid")
  kill "$pid"
  if grep -q "Bad JSON received" "$run/$name.out"; then
    echo "$name: a realistic post was taken for bad JSON" >&2
    return 1
  fi
  awk -v n="$name" -v p="$posts" -v t="$ticks" -v c=$((cpu_after - cpu_before)) \
    -v b="$rss_before" -v h="$rss_half" -v a="$rss_after" 'BEGIN {
      printf "%-9s %5d posts  CPU %.3f ms/post  RSS %d KiB at the start, %d halfway, %d at the end\n",
             n, p, 1000 * c / t / p, b, h, a }'
}

for program in $game_programs; do
  folder_var="${program}_appletFolder" port_var="${program}_port" app_var="${program}_appId"
  soak "$program" "$build/applets/${!folder_var}/$program" "${!port_var}" "${!app_var}" \
    "$root/applets/${!folder_var}/tests/data" >"$run/$program.result" &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
pids=()
cat "$run/heroglow.result" "$run/roundglow.result"
exit $status
