#!/usr/bin/env bash
# Builds heroglow and the simulated keyboard, then runs heroglow against that keyboard.
# Files of the run live in build/default/run/: registry.reg (names the signed simulator),
# options.json (the options service; edit it and restart to change colours and keys),
# state.json (what the keyboard shows) and journal.jsonl (every SDK call).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./tools/bootstrap.sh
cmake --preset default
cmake --build --preset default --target heroglow keyboard_simulator

build="$root/build/default"
find_built() {
  find "$build" -name "$1" -type f -not -path '*/CMakeFiles/*' -print -quit
}
heroglow=$(find_built heroglow)
simulator=$(find_built libkeyboard_simulator.so)
if [ -z "$heroglow" ] || [ -z "$simulator" ]; then
  echo "heroglow or the simulated keyboard was not built" >&2
  exit 1
fi
if [ ! -f "$simulator.sig" ]; then
  echo "warning: $simulator.sig is missing; heroglow will refuse the simulated keyboard" >&2
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
# Each run starts with a fresh keyboard; the options file is kept between runs.
rm -f "$run/state.json" "$run/journal.jsonl"

cat <<TEXT
Keyboard state:  $run/state.json   (e.g. jq -c .device "$run/state.json")
SDK call log:    $run/journal.jsonl
Options:         $run/options.json (written at start-up; restart heroglow after editing)

Light the health and mana bars from another terminal (heroglow never answers, so curl
reports an empty reply):
  curl -s -H 'Content-Type: application/json' --data '{"map":{"game_state":"DOTA_GAMERULES_STATE_GAME_IN_PROGRESS"},"player":{"team_name":"radiant"},"hero":{"alive":true,"health_percent":60,"mana_percent":40}}' http://127.0.0.1:3002/

Stop heroglow with Ctrl+C.
TEXT

export LUMO_REGISTRY="$run/registry.reg"
export LUMO_OPTIONS="$run/options.json"
export LUMO_SIM_STATE="$run/state.json"
export LUMO_SIM_JOURNAL="$run/journal.jsonl"
exec "$heroglow"
