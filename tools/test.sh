#!/bin/sh
# Builds everything and runs every test: once as shipped, and under AddressSanitizer
# and UndefinedBehaviorSanitizer twice, built by GCC and by clang (the clang build also
# checks array bounds and holds the fuzz target, whose found inputs it replays); and
# cross-builds the Windows DLL and runs its tests under wine.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc)

tools/install-deps.sh

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTAMBORELLE_SANITIZE=ON -DTAMBORELLE_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORELLE_FUZZ=ON \
    -DTAMBORELLE_SANITIZE=ON -DTAMBORELLE_TESTS=ON -DTAMBORELLE_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"
# The clang build also holds the fuzz targets over the module's interface (tests/src/fuzz);
# its tests replay their seeds and the inputs they once failed on.

# The Debian package, built in a directory of its own, unpacked into a scratch root and checked.
echo "== the Debian package"
tools/build-deb.sh
tests/tools/deb-package-test.sh build-deb/tamborelle-vst_*_amd64.deb

# The Windows DLL, cross-built, with its tests under wine; before the Linux tests, so
# the last test summary printed is theirs.
tools/build-windows.sh

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer, clang, with the inputs the PNG fuzzer once found"
ctest --test-dir build-fuzz --output-on-failure -j"$jobs" --timeout 300
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer, GCC"
ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 300
echo "== tests as shipped"
ctest --test-dir build-test --output-on-failure -j"$jobs" --timeout 300
