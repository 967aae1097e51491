#!/usr/bin/env bash
# The Debian package from end to end, as CI runs it (root, Debian 12): builds it, checks its
# files and dependencies, installs it with apt-get, asks the installed programs --version and
# --help, runs them against the build's simulated keyboard with a post each, checks the user
# units, then purges the package and checks that nothing of it is left but the player's files.
# Everything the programs write goes to a temporary folder; a package installed before is
# refused rather than replaced, so the machine ends as it began.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build="$root/build/default"

fail() { echo "test-package: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "run as root: it installs and removes the package"
if dpkg-query -W -f='${Status}' lumo-applets 2>/dev/null | grep -q installed; then
  fail "lumo-applets is installed already; remove it first"
fi

./tools/bootstrap.sh
cmake --workflow --preset package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/lumo-applets_${version}_amd64.deb"
[ -f "$deb" ] || fail "$deb was not made"
echo "Package: $deb ($(stat -c %s "$deb") bytes)"
# The games' facts as the configure step generated them from lib/games/games.json:
# $game_programs, and ${program}_key, _appId, _port, _appletFolder, _integrationFile,
# _cfgFolder, _readFolder.
# shellcheck source=/dev/null
. "$build/games.sh"
game_programs=${game_programs:?games.sh names no programs}
fact() { local name="${1}_$2"; printf '%s' "${!name}"; }

work=$(mktemp -d)
pids=()
installed=false
finish() {
  [ ${#pids[@]} -eq 0 ] || kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  if $installed; then apt-get purge -y lumo-applets >/dev/null || true; fi
  rm -rf "$work"
}
trap finish EXIT

# --- Contents --------------------------------------------------------------------------
# One line per entry: its type (d, l or -), its path and a link's target.
dpkg-deb -c "$deb" | awk '{ sub(/^\./, "", $6); sub(/\/$/, "", $6); print substr($1, 1, 1), $6 ($8 == "" ? "" : " " $8) }' |
  sort > "$work/contents"
expect() {  # TYPE PATH [LINK TARGET]
  grep -qxF -e "$1 $2${3:+ $3}" "$work/contents" || fail "the package lacks $2${3:+ -> $3} (type $1)"
}
for program in $game_programs; do
  expect - "/usr/lib/lumo-applets/$program/$program"
  expect - "/usr/lib/lumo-applets/$program/Applet_Files/$(fact "$program" integrationFile)"
  expect l "/usr/bin/$program" "../lib/lumo-applets/$program/$program"
  expect - "/usr/lib/systemd/user/$program.service"
done
for tool in lumo-view gsi-record gsi-replay lumo-doctor; do expect - "/usr/bin/$tool"; done
for doc in README.md docs/linux.md docs/openrgb.md docs/heroglow.md docs/roundglow.md; do
  expect - "/usr/share/doc/lumo-applets/$doc"
done
stray=$(awk '$1 != "d" && $2 !~ "^/usr/(bin|lib/lumo-applets|lib/systemd/user|share/doc/lumo-applets)/" { print $2 }' "$work/contents")
[ -z "$stray" ] || fail "unexpected files in the package: $stray"
grep -E '\.(key|pub|sig)$|registry\.reg' "$work/contents" && fail "the package holds a key, signature or registry file"

mkdir "$work/tree" "$work/control"
dpkg-deb -x "$deb" "$work/tree"
dpkg-deb -e "$deb" "$work/control"
for program in $game_programs; do
  file="$(fact "$program" integrationFile)"
  cmp "applets/$(fact "$program" appletFolder)/Applet_Files/$file" \
      "$work/tree/usr/lib/lumo-applets/$program/Applet_Files/$file" ||
    fail "$program's integration file in the package differs from the source"
done
# No development key ever ships: neither its hex text nor its bytes are in any file.
if [ -f "$build/sdk-signing.key" ]; then
  seed=$(tr -d ' \n' < "$build/sdk-signing.key")
  # shellcheck disable=SC2046  # one \xHH per byte of the seed, split on purpose
  if grep -rqaiF "$seed" "$work/tree" || LC_ALL=C grep -rqaP "$(printf '\\x%s' $(fold -w2 <<< "$seed"))" "$work/tree"; then
    fail "the build's development signing key is in the package"
  fi
fi
# Removing the package must leave the player's files alone: no maintainer script runs.
for script in "$work/control"/*; do
  case "${script##*/}" in
    control|md5sums|shlibs|triggers) ;;
    *) fail "unexpected maintainer script: ${script##*/}" ;;
  esac
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libcurl4 libsodium23 libstdc++6; do
  grep -q "\b$library\b" <<< "$depends" || fail "Depends lacks $library: $depends"
done

# --- Installed ------------------------------------------------------------------------
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" > "$work/apt-install.txt" 2>&1 ||
  { cat "$work/apt-install.txt"; fail "apt-get install failed"; }
installed=true
for program in $game_programs; do
  [ "$("$program" --version)" = "$program $version" ] || fail "$program --version says: $("$program" --version)"
done
for program in $game_programs; do
  help=$(env -i HOME=/home/player "$program" --help)
  [ "$(wc -l <<< "$help")" -le 24 ] || fail "$program --help is longer than a screen"
  [ "$(wc -L <<< "$help")" -le 80 ] || fail "$program --help is wider than 80 columns"
  grep -qF "/home/player/.config/lumo/options.json" <<< "$help" || fail "$program --help names no options file"
  grep -qF "/home/player/.local/state/lumo" <<< "$help" || fail "$program --help names no status folder"
done

# The installed programs with the build's signed simulated keyboard, its registry stand-in
# in the temporary folder: each lights it on a post.
# shellcheck source=tools/simulator-registry.sh
. "$root/tools/simulator-registry.sh"
write_simulator_registry "$work/registry.reg" "$build/keyboard_simulator/libkeyboard_simulator.so"
# A Steam library with both games, so each program copies its integration file from where
# the package put it; they run from a folder without Applet_Files of its own. Each game's cfg
# folder exists, as an installed game has it; the folder the file goes to may not.
steamapps="$work/home/.local/share/Steam/steamapps"
game_folder() { printf '%s' "$steamapps/common/$1 game"; }
mkdir -p "$work/run"
for program in $game_programs; do
  mkdir -p "$(game_folder "$program")/$(fact "$program" cfgFolder)"
  printf '"AppState"\n{\n\t"appid"\t\t"%s"\n\t"installdir"\t\t"%s"\n}\n' "$(fact "$program" appId)" "$program game" \
    > "$steamapps/appmanifest_$(fact "$program" appId).acf"
done
start() {  # PROGRAM
  (cd "$work/run" && exec env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
    LUMO_REGISTRY="$work/registry.reg" LUMO_LIGHTING=sdk HEROGLOW_ITEM_FEED_URL=http://127.0.0.1:9/ \
    LUMO_SIM_STATE="$work/keyboard-$1.json" LUMO_SIM_JOURNAL="$work/journal-$1.jsonl" \
    "/usr/bin/$1") > "$work/output-$1.txt" 2>&1 &
  pids+=($!)
}
device() { jq -c '.device' "$work/keyboard-$1.json" 2>/dev/null || true; }
post_until_changed() {  # PROGRAM PORT BODY: posts until the keyboard's colour changes
  local before
  for _ in $(seq 100); do grep -q "Server connected" "$work/output-$1.txt" && break; sleep 0.1; done
  grep -q "Server connected" "$work/output-$1.txt" || { cat "$work/output-$1.txt"; fail "$1 did not start"; }
  sleep 1  # roundglow darkens the keyboard once more after it starts listening
  before=$(device "$1")
  [ -n "$before" ] || { cat "$work/output-$1.txt"; fail "$1 lit nothing at start: no SDK?"; }
  for _ in $(seq 20); do
    curl -s -o /dev/null --data "$3" "http://127.0.0.1:$2/" || true
    [ "$(device "$1")" != "$before" ] && { echo "$1: keyboard $before -> $(device "$1")"; return 0; }
    sleep 0.25
  done
  cat "$work/output-$1.txt"
  fail "$1's keyboard did not change on a post"
}
start heroglow
start roundglow
post_until_changed heroglow "$(fact heroglow port)" \
  '{"map":{"game_state":"DOTA_GAMERULES_STATE_GAME_IN_PROGRESS"},"player":{"team_name":"radiant"},"hero":{"alive":true,"health_percent":60,"mana_percent":40}}'
post_until_changed roundglow "$(fact roundglow port)" \
  '{"player":{"team":"T","activity":"playing","state":{"health":75}}}'
[ -f "$work/config/lumo/options.json" ] || fail "no options file in \$XDG_CONFIG_HOME/lumo/"
for program in $game_programs; do
  # The status files for lumo-doctor come with it.
  [ -f "$work/state/lumo/$program-status.json" ] || fail "no $program-status.json in \$XDG_STATE_HOME/lumo/"
  file="$(fact "$program" integrationFile)"
  cmp "applets/$(fact "$program" appletFolder)/Applet_Files/$file" \
      "$(game_folder "$program")/$(fact "$program" readFolder)/$file" || fail "$program installed no integration file"
done
# The installed doctor over the same Steam: it finds both games and both programs' files.
doctor=$(env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
  LUMO_REGISTRY="$work/registry.reg" lumo-doctor --json) || true
for program in $game_programs; do
  key="$(fact "$program" key)"
  for id in game integration-file; do
    status=$(jq -r --arg id "$id" --arg game "$key" '.checks[] | select(.id == $id and .game == $game) | .status' <<< "$doctor")
    [ "$status" = ok ] || fail "lumo-doctor's $id check of $key says ${status:-nothing}: $doctor"
  done
done
kill "${pids[@]}"
wait 2>/dev/null || true
pids=()

# --- Units ----------------------------------------------------------------------------
units=(/usr/lib/systemd/user/heroglow.service /usr/lib/systemd/user/roundglow.service)
if command -v systemd-analyze >/dev/null; then
  # As the user's manager reads them; it needs a runtime folder, which root's session may lack.
  # It warns about a value it cannot parse but fails only on what keeps a unit from loading:
  # any line it prints counts.
  mkdir -m 700 "$work/runtime"
  verified=$(XDG_RUNTIME_DIR="$work/runtime" systemd-analyze --user verify --man=no "${units[@]}" 2>&1) ||
    fail "systemd-analyze verify: $verified"
  [ -z "$verified" ] || fail "systemd-analyze verify: $verified"
fi
# What the units promise, read line by line; also where systemd-analyze is missing.
for unit in "${units[@]}"; do
  program=$(basename "$unit" .service)
  section=""
  declare -A seen=()
  while IFS= read -r line; do
    case "$line" in
      ''|'#'*) ;;
      '['*']') section=${line:1:-1}
               [[ "$section" =~ ^(Unit|Service|Install)$ ]] || fail "$unit: unknown section [$section]" ;;
      *=*) [ -n "$section" ] || fail "$unit: $line outside a section"
           seen["$section/$line"]=1 ;;
      *) fail "$unit: cannot read \"$line\"" ;;
    esac
  done < "$unit"
  for wanted in "Service/ExecStart=/usr/bin/$program" Service/Restart=on-failure Service/RestartSec=10s \
                Service/Environment=LUMO_LIGHTING=openrgb Service/NoNewPrivileges=yes \
                Install/WantedBy=default.target; do
    [ -n "${seen[$wanted]:-}" ] || fail "$unit lacks $wanted"
  done
  for key in "${!seen[@]}"; do
    [[ "$key" =~ ^Service/(User|Group|DynamicUser)= ]] && fail "$unit names a user: $key"
  done
  unset seen
done

# --- Removed --------------------------------------------------------------------------
DEBIAN_FRONTEND=noninteractive apt-get purge -y lumo-applets > "$work/apt-purge.txt" 2>&1 ||
  { cat "$work/apt-purge.txt"; fail "apt-get purge failed"; }
installed=false
dpkg-query -W -f='${Status}' lumo-applets 2>/dev/null | grep -q installed && fail "still installed after purge"
while read -r type path _; do
  [ "$type" = d ] && continue
  { [ -e "$path" ] || [ -L "$path" ]; } && fail "$path is left after purge"
done < "$work/contents"
for folder in /usr/lib/lumo-applets /usr/share/doc/lumo-applets; do
  [ ! -e "$folder" ] || fail "$folder is left after purge"
done
[ -f "$work/config/lumo/options.json" ] || fail "the player's options went with the package"
echo "test-package: all checks passed"
