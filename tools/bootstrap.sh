#!/usr/bin/env bash
# Installs every Debian package that building, testing, packaging and running the applets
# needs, and the npm client the test OpenRGB server is tried against (tests/openrgb_client);
# with the argument "fuzz", only what the fuzz preset needs on top of those (docs/fuzzing.md).
# Does nothing when all of them are present.
set -euo pipefail

client_folder="$(cd "$(dirname "$0")/.." && pwd)/tests/openrgb_client"

packages=(
  g++ cmake ninja-build pkg-config
  nlohmann-json3-dev libcurl4-openssl-dev libsodium-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcpp-httplib-dev libtinyxml2-dev
  curl jq dpkg-dev
)
# Debian's Node only where there is none: another one on the PATH must not be shadowed.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi
if [ "${1:-}" = fuzz ]; then
  # The sanitizer and fuzzer runtimes are only recommended by clang, so they are named here.
  packages=(clang libclang-rt-14-dev libfuzzer-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The npm client exactly as package-lock.json pins it, again whenever the lock is newer.
if [ "${1:-}" != fuzz ] &&
   { [ ! -d "$client_folder/node_modules" ] || [ "$client_folder/package-lock.json" -nt "$client_folder/node_modules" ]; }; then
  echo "Installing the npm client in tests/openrgb_client"
  (cd "$client_folder" && npm ci --no-audit --no-fund)
fi
