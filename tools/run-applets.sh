#!/usr/bin/env bash
# Builds both programs and the simulated keyboard, then runs heroglow (Dota 2, port 3002) and
# roundglow (Counter-Strike, port 5000) against that keyboard until Ctrl+C ends both.
# Files of the run live in build/default/run/: registry.reg (names the signed simulator),
# options.json (the options service, shared by both programs), and per program a state file
# (what its keyboard shows) and a journal (every SDK call it made).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./tools/bootstrap.sh
cmake --preset default
cmake --build --preset default --target heroglow roundglow keyboard_simulator

build="$root/build/default"
heroglow="$build/applets/dota_integration/heroglow"
roundglow="$build/applets/cs_go_integration/roundglow"
simulator="$build/keyboard_simulator/libkeyboard_simulator.so"
for built in "$heroglow" "$roundglow" "$simulator"; do
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
# .reg values escape backslashes and double quotes.
escaped=$(printf '%s' "$simulator" | sed -e 's/\\/\\\\/g' -e 's/"/\\"/g')
cat > "$run/registry.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{5B2E0C41-9D37-4A8E-B6F1-2C7D94E0A315}\\ServerBinary]
@="$escaped"
REG
# Each run starts with fresh keyboards; the options file is kept between runs.
rm -f "$run"/state-*.json "$run"/journal-*.jsonl

cat <<TEXT
Keyboards:  $run/state-heroglow.json, $run/state-roundglow.json
SDK calls:  $run/journal-heroglow.jsonl, $run/journal-roundglow.jsonl
Options:    $run/options.json (heroglow reads it at start-up; roundglow before each post)

Post a game state from another terminal (the programs never answer, so curl reports an
empty reply):
  curl -s --data '{"map":{"game_state":"DOTA_GAMERULES_STATE_GAME_IN_PROGRESS"},"player":{"team_name":"radiant"},"hero":{"alive":true,"health_percent":60,"mana_percent":40}}' http://127.0.0.1:3002/
  curl -s --data '{"player":{"team":"CT","activity":"playing","state":{"health":75}}}' http://127.0.0.1:5000/

Ctrl+C ends both programs.
TEXT

export LUMO_REGISTRY="$run/registry.reg"
export LUMO_OPTIONS="$run/options.json"
pids=()
stop() {
  kill "${pids[@]}" 2>/dev/null || true
  wait "${pids[@]}" 2>/dev/null || true
}
trap stop EXIT
trap 'exit 130' INT TERM
for program in "$heroglow" "$roundglow"; do
  name=$(basename "$program")
  LUMO_SIM_STATE="$run/state-$name.json" LUMO_SIM_JOURNAL="$run/journal-$name.jsonl" "$program" &
  pids+=($!)
done
# Either program ending (a port taken, say) ends the run.
wait -n "${pids[@]}"
