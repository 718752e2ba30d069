#!/bin/sh
# Sets everything up, builds the plug-in and the command-line host, plays the bundled
# phrase through Tamborelle64.so with every voice at work, lists and draws what came
# out, and says how to install the plug-in for your hosts.
set -eu
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORELLE_TESTS=OFF -DTAMBORELLE_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target Tamborelle64 tamborelle_release tamborelle-host

echo
build/tamborelle-host info build/Tamborelle64.so | head -n 20
echo
TAMBORELLE_HOST=build/tamborelle-host examples/render-showcase.sh build/Tamborelle64.so build/showcase-out.mid \
    --picture build/showcase-roll.png --events >build/showcase-events.txt
# The summary, then the first notes of the event list.
sed '/^$/q' build/showcase-events.txt
sed -n '/^ *position/,$p' build/showcase-events.txt | head -n 14
echo "  ... every note in build/showcase-events.txt"
echo
vstdir=$(sed -n 's/^TAMBORELLE_VST_DIR:PATH=//p' build/CMakeCache.txt)
echo "Wrote build/showcase-out.mid"
echo "The picture of what it played: build/showcase-roll.png"
echo "Install it for your hosts (into $vstdir): cmake --install build"
