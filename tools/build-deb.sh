#!/bin/sh
# Builds the Debian package build-deb/tamborelle-vst_<version>_amd64.deb: the module in
# /usr/lib/vst, tamborelle-host in /usr/bin, the README and the example in
# /usr/share/doc/tamborelle-vst, its dependencies found by dpkg-shlibdeps.
# Install it with: sudo apt install ./build-deb/tamborelle-vst_<version>_amd64.deb
set -eu
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORELLE_PACKAGE=ON \
    -DTAMBORELLE_VST_DIR=/usr/lib/vst -DTAMBORELLE_TESTS=OFF -DTAMBORELLE_BENCH=OFF >/dev/null
cmake --build build-deb -j"$(nproc)" --target tamborelle_release tamborelle-host
rm -f build-deb/tamborelle-vst_*.deb
(cd build-deb && cpack >/dev/null)
echo "Wrote $(ls build-deb/tamborelle-vst_*.deb)"
