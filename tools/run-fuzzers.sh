#!/usr/bin/env bash
# Runs the fuzz targets of the fuzz build (cmake --workflow --preset fuzz) for SECONDS each, two
# at a time and niced, each from a copy of its seed corpus in fuzz/corpus (the repository is
# left as it is). Crashing inputs go to build/fuzz/crashes/<target>/, each run's output to
# build/fuzz/logs/<target>.log. Fails when any target crashes or breaks one of its checks.
#
#   tools/run-fuzzers.sh SECONDS [TARGET...]        TARGET as in fuzz/corpus: keyvalues, utf...
#
# LUMO_FUZZ_JOBS   targets run at once (default 2)
# LUMO_FUZZ_FLAGS  more libFuzzer flags, e.g. "-runs=10000000" to stop after that many inputs
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"

seconds="${1:-}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [TARGET...]" >&2
  exit 2
fi
shift
jobs="${LUMO_FUZZ_JOBS:-2}"
read -r -a extra_flags <<<"${LUMO_FUZZ_FLAGS:-}"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for binary in "$build"/fuzz/*_fuzzer; do
    [ -x "$binary" ] && targets+=("$(basename "$binary" _fuzzer)")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "run-fuzzers: no fuzz targets in $build/fuzz; build them with: cmake --workflow --preset fuzz" >&2
  exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/lumo-fuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/logs"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

run_one() {
  local target="$1"
  local binary="$build/fuzz/${target}_fuzzer"
  local corpus="$work/corpus/$target"
  local crashes="$build/crashes/$target"
  local log="$build/logs/$target.log"
  [ -x "$binary" ] || { echo "run-fuzzers: $binary is not built" >"$log"; echo 1 >"$work/$target.rc"; return; }
  mkdir -p "$corpus" "$crashes"
  [ -d "$root/fuzz/corpus/$target" ] && cp -R "$root/fuzz/corpus/$target/." "$corpus/"
  local dictionary=()
  [ -f "$root/fuzz/dict/$target.dict" ] && dictionary=("-dict=$root/fuzz/dict/$target.dict")
  local rc=0
  (cd "$work" && nice -n 10 "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$crashes/" "${dictionary[@]}" "${extra_flags[@]}" "$corpus") \
    >"$log" 2>&1 || rc=$?
  echo "$rc" >"$work/$target.rc"
}

running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_one "$target" &
  running=$((running + 1))
done
wait

failed=0
for target in "${targets[@]}"; do
  log="$build/logs/$target.log"
  inputs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)"
  rc="$(cat "$work/$target.rc" 2>/dev/null || echo 1)"
  if [ "$rc" = 0 ]; then
    printf '%-16s %12s inputs %8s/s  ok\n' "$target" "${inputs:-?}" "${speed:-?}"
  else
    failed=1
    printf '%-16s %12s inputs %8s/s  FAILED (exit %s), log: %s\n' "$target" "${inputs:-?}" "${speed:-?}" "$rc" "$log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|check failed|artifact_prefix|Test unit written)' "$log" | head -n 8 >&2 || true
  fi
done
exit "$failed"
