#!/usr/bin/env bash
# Installs what the Windows cross build and its Wine tests need, and builds a static,
# HTTP-only libcurl (Schannel) for mingw-w64 from Debian's curl source package once.
# Does nothing when all of it is already there.
#
# LUMO_WINDOWS_CACHE names the folder the libcurl build goes to (default: build/cache);
# the windows preset reads the same variable.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${LUMO_WINDOWS_CACHE:-$root/build/cache}"
curl_prefix="$cache/curl-mingw64"

packages=(
  cmake ninja-build dpkg-dev
  g++-mingw-w64-x86-64-posix wine64 osslsigncode openssl
  nlohmann-json3-dev googletest unzip
)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

[ -f "$curl_prefix/lib/libcurl.a" ] && exit 0

# apt-get source needs a deb-src entry; add one for Debian's own archive only when the
# machine has none at all.
has_deb_src() {
  grep -Eqs '^[[:space:]]*deb-src[[:space:]]|^Types:.*deb-src' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources
}
if ! has_deb_src; then
  codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  echo "Adding /etc/apt/sources.list.d/lumo-deb-src.sources"
  $sudo tee /etc/apt/sources.list.d/lumo-deb-src.sources >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  $sudo apt-get update
elif ! apt-get source --print-uris curl >/dev/null 2>&1; then
  $sudo apt-get update
fi

work="$cache/curl-source"
rm -rf "$work"
mkdir -p "$work"
# dpkg-source lists every patch it applies; keep that for a failure only.
(cd "$work" && apt-get source curl) >"$work/source.log" 2>&1 || { cat "$work/source.log" >&2; exit 1; }
source_dir="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'curl-*' | head -n 1)"
[ -n "$source_dir" ] || { echo "bootstrap-windows: no curl source folder in $work" >&2; exit 1; }

echo "Building static libcurl for mingw-w64 from $(basename "$source_dir")"
cmake -S "$source_dir" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$curl_prefix" \
  -DBUILD_SHARED_LIBS=OFF -DHTTP_ONLY=ON -DCURL_USE_SCHANNEL=ON -DCURL_ZLIB=OFF \
  -DCURL_USE_LIBSSH2=OFF -DUSE_LIBIDN2=OFF -DCURL_USE_LIBPSL=OFF -DCURL_DISABLE_LDAP=ON \
  -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
  >"$work/configure.log" || { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" >"$work/build.log" || { tail -n 50 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
rm -rf "$work"
echo "libcurl for mingw-w64: $curl_prefix"
