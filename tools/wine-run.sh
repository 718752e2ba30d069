#!/bin/sh
# Runs a cross-built Windows program under wine, headless, in a throw-away
# prefix made once per run (TAMBORELLE_WINEPREFIX, default under /tmp) with the
# settings that keep wine from waiting on window managers and crash dialogs.
set -eu

prefix=${TAMBORELLE_WINEPREFIX:-/tmp/tamborelle-wine-$(id -u)}
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -f "$prefix/.tamborelle-ready" ]; then
        DISPLAY= wineboot --init >/dev/null 2>&1 || true
        DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        DISPLAY= wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        wineserver -w
        touch "$prefix/.tamborelle-ready"
    fi
) 9>"$prefix.lock"

if [ -n "${TAMBORELLE_WINE_GUI:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" wine "$@"
fi
DISPLAY= exec wine "$@"
