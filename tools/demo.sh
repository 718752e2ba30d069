#!/bin/sh
# Sets everything up, builds the plug-in and the command-line host, and plays
# the bundled phrase through Tamborelle64.so with every voice at work.
set -eu
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORELLE_TESTS=OFF -DTAMBORELLE_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target Tamborelle64 tamborelle-host

echo
build/tamborelle-host info build/Tamborelle64.so | head -n 20
echo
TAMBORELLE_HOST=build/tamborelle-host \
    examples/render-showcase.sh build/Tamborelle64.so build/showcase-out.mid
echo "Wrote build/showcase-out.mid"
