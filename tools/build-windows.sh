#!/bin/sh
# Cross-builds build-win/Tamborelle64.dll with Debian's mingw-w64 and runs the Windows
# tests under wine (the editor tests in Xvfb), in a throw-away wine prefix made for this run.
# Installs the cross tools, wine and Xvfb when they are missing.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc)

TAMBORELLE_WINDOWS=1 tools/install-deps.sh

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/Toolchain-mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORELLE_BENCH=OFF >/dev/null
cmake --build build-win -j"$jobs"

# The module must stand alone: system DLLs only, exactly the two entry names, the images inside.
imports=$(x86_64-w64-mingw32-objdump -p build-win/Tamborelle64.dll | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z')
for dll in $imports; do
    case "$dll" in
    kernel32.dll | user32.dll | gdi32.dll | ole32.dll | msvcrt.dll) ;;
    *) echo "Tamborelle64.dll imports $dll, which Windows does not provide" >&2; exit 1 ;;
    esac
done
exports=$(x86_64-w64-mingw32-objdump -p build-win/Tamborelle64.dll |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\t\[ *[0-9]*\] //p' | LC_ALL=C sort | tr '\n' ' ')
if [ "$exports" != "VSTPluginMain main " ]; then
    echo "Tamborelle64.dll exports '$exports', expected VSTPluginMain and main" >&2
    exit 1
fi

resources=$(x86_64-w64-mingw32-windres -i build-win/Tamborelle64.dll -O rc 2>/dev/null |
    sed -n 's/^\([0-9]*\) "PNG"$/\1/p' | tr '\n' ' ')
if [ "$resources" != "100 101 102 103 104 " ]; then
    echo "Tamborelle64.dll holds PNG resources '$resources', expected 100 to 104" >&2
    exit 1
fi

# A fresh prefix for every run, inside this checkout's build folder so two checkouts
# testing at once never share one; tools/wine-run.sh makes it on first use.
TAMBORELLE_WINEPREFIX=${TAMBORELLE_WINEPREFIX:-$(pwd)/build-win/wine-prefix}
export TAMBORELLE_WINEPREFIX
rm -rf "$TAMBORELLE_WINEPREFIX" "$TAMBORELLE_WINEPREFIX.lock"

echo "== Windows tests under wine"
ctest --test-dir build-win --output-on-failure --timeout 300
