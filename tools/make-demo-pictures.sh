#!/usr/bin/env bash
# Draws the pictures in docs/pictures with lumo-view from the demo sessions: heroglow in a
# match (the first 17 posts of docs/demos/dota_match.jsonl) and roundglow with the bomb
# planted (the first 19 of docs/demos/cs_round.jsonl). Runs both programs on their ports, so
# nothing else may listen on 3002 and 5000 meanwhile.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build="$root/build/default"
cmake --build --preset default --target heroglow roundglow keyboard_simulator lumo-view gsi-replay >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  [ ${#pids[@]} -eq 0 ] || kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cat > "$work/registry.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{5B2E0C41-9D37-4A8E-B6F1-2C7D94E0A315}\\ServerBinary]
@="$build/keyboard_simulator/libkeyboard_simulator.so"
REG

# picture PROGRAM PATH SESSION POSTS PICTURE
picture() {
  local program=$1 path=$2 session=$3 posts=$4 out=$5
  LUMO_REGISTRY="$work/registry.reg" LUMO_OPTIONS="$work/options-$program.json" \
    LUMO_SIM_STATE="$work/state-$program.json" HOME="$work" HEROGLOW_ITEM_FEED_URL=http://127.0.0.1:9/ \
    "$build/applets/$path/$program" > "$work/$program.txt" 2>&1 &
  pids+=($!)
  head -n "$posts" "docs/demos/$session" > "$work/$session"
  "$build/tools/gsi_session/gsi-replay" "$work/$session" --speed 1000
  "$build/tools/lumo_view/lumo-view" --svg "$out" "$work/state-$program.json"
  echo "wrote $out"
}
mkdir -p docs/pictures
picture heroglow dota_integration dota_match.jsonl 17 docs/pictures/heroglow-match.svg
picture roundglow cs_go_integration cs_round.jsonl 19 docs/pictures/roundglow-bomb-planted.svg
