#!/bin/sh
# Installs the Debian 12 packages the build, the tests and the example need (Xlib for the
# editor's window, XTest and Xvfb for its tests); with TAMBORELLE_WINDOWS=1 also the
# Windows cross tools and wine.
# Does nothing when they are all present.
set -eu

packages="build-essential cmake pkg-config libpng-dev zlib1g-dev libgtest-dev libgmock-dev
  libbenchmark-dev libfreetype-dev libfontconfig-dev fonts-liberation clang libclang-rt-14-dev
  libx11-dev libxtst-dev xvfb xauth"
# The live host's JACK client library, and the server its tests start.
packages="$packages jackd2 libjack-jackd2-dev"
# The Debian package: cpack finds the binaries with file to read their dependencies off.
packages="$packages file"
if [ -n "${TAMBORELLE_WINDOWS:-}" ]; then
    packages="$packages g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 fonts-wine"
fi

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends $missing
