#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the applets needs; with
# the argument "fuzz", only what the fuzz preset needs on top of those (docs/fuzzing.md).
# Does nothing when all of them are present.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  nlohmann-json3-dev libcurl4-openssl-dev libsodium-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcpp-httplib-dev libtinyxml2-dev
  curl jq
)
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
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
