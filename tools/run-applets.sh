#!/usr/bin/env bash
# Builds both programs, the simulated keyboard and the tools, then runs heroglow (Dota 2, port
# 3002) and roundglow (Counter-Strike, port 5000) against that keyboard, with lumo-view drawing
# both keyboards in this terminal, until Ctrl+C ends everything.
#   --demo  also replays the demo sessions (docs/demos) into both programs, in a loop.
#   --openrgb [HOST:PORT]  lights a real keyboard through the OpenRGB SDK server there
#           (default 127.0.0.1:6742, see docs/openrgb.md) instead of the simulated keyboard;
#           the programs' output is shown in place of the keyboard view.
# Files of the run live in build/default/run/: registry.reg (names the signed simulator),
# options.json (the options service, shared by both programs), per program a state file (what
# its keyboard shows), a journal (every SDK call it made) and its output (output-NAME.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

demo=false
openrgb=""
while [ $# -gt 0 ]; do
  case "$1" in
    --demo) demo=true ;;
    --openrgb)
      openrgb=127.0.0.1:6742
      if [ $# -gt 1 ] && [ "${2#--}" = "$2" ]; then openrgb=$2; shift; fi ;;
    *) echo "usage: $0 [--demo] [--openrgb [HOST:PORT]]" >&2; exit 2 ;;
  esac
  shift
done

./tools/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default --target heroglow roundglow keyboard_simulator lumo-view gsi-replay

build="$root/build/default"
# Each program's folder and port, from the games table.
source "$build/games.sh"
heroglow="$build/applets/$heroglow_appletFolder/heroglow"
roundglow="$build/applets/$roundglow_appletFolder/roundglow"
simulator="$build/keyboard_simulator/libkeyboard_simulator.so"
view="$build/tools/lumo_view/lumo-view"
replay="$build/tools/gsi_session/gsi-replay"
for built in "$heroglow" "$roundglow" "$simulator" "$view" "$replay"; do
  if [ ! -f "$built" ]; then
    echo "$built was not built" >&2
    exit 1
  fi
done
if [ ! -f "$simulator.sig" ]; then
  echo "warning: $simulator.sig is missing; the programs will refuse the simulated keyboard" >&2
fi

run="$build/run"
mkdir -p "$run"
# shellcheck source=tools/simulator-registry.sh
. "$root/tools/simulator-registry.sh"
write_simulator_registry "$run/registry.reg" "$simulator"
# Each run starts with fresh keyboards; the options file is kept between runs.
rm -f "$run"/state-*.json "$run"/journal-*.jsonl

files() {
  cat <<TEXT
Keyboards:  $run/state-heroglow.json, $run/state-roundglow.json
SDK calls:  $run/journal-heroglow.jsonl, $run/journal-roundglow.jsonl
Output:     $run/output-heroglow.txt, $run/output-roundglow.txt
Options:    $run/options.json (heroglow reads it at start-up; roundglow before each post)
TEXT
}

export LUMO_REGISTRY="$run/registry.reg"
export LUMO_OPTIONS="$run/options.json"
if [ -n "$openrgb" ]; then
  export LUMO_LIGHTING=openrgb LUMO_OPENRGB="$openrgb"
fi
pids=()
stop() {
  trap - EXIT INT TERM
  [ ${#pids[@]} -eq 0 ] || kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  echo
  files
}
trap stop EXIT
trap 'exit 130' INT TERM
for program in "$heroglow" "$roundglow"; do
  name=$(basename "$program")
  LUMO_SIM_STATE="$run/state-$name.json" LUMO_SIM_JOURNAL="$run/journal-$name.jsonl" \
    "$program" > "$run/output-$name.txt" 2>&1 &
  pids+=($!)
done
if $demo; then
  # gsi-replay waits for each program to listen, then posts at the recorded pace.
  for session in dota_match cs_round; do
    "$replay" "$root/docs/demos/$session.jsonl" --loop > "$run/replay-$session.txt" 2>&1 &
    pids+=($!)
  done
fi

files
if ! $demo; then
  cat <<TEXT

Post a game state from another terminal (the programs never answer, so curl reports an
empty reply), or replay a recorded session:
  curl -s --data '{"map":{"game_state":"DOTA_GAMERULES_STATE_GAME_IN_PROGRESS"},"player":{"team_name":"radiant"},"hero":{"alive":true,"health_percent":60,"mana_percent":40}}' http://127.0.0.1:$heroglow_port/
  $replay docs/demos/cs_round.jsonl
TEXT
fi
echo
echo "Ctrl+C ends everything."
sleep 3

if [ -n "$openrgb" ]; then
  # The keyboard itself shows the lighting; here the programs' own lines are followed.
  tail -n +1 -f "$run/output-heroglow.txt" "$run/output-roundglow.txt" &
  pids+=($!)
  wait -n "${pids[@]:0:2}" || true
  exit 0
fi

# The view runs in the foreground; either program ending (a port taken, say) ends the run.
"$view" "$run/state-heroglow.json" "$run/state-roundglow.json" &
view_pid=$!
pids+=($view_pid)
wait -n "${pids[@]:0:2}" "$view_pid" || true
