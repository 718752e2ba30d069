#!/bin/sh
# Runs a program against an X server of its own: a private Xvfb that picks a free
# display number itself (-displayfd), so runs on one machine never race for one.
#   run-in-xvfb.sh [--depth N] program args...
set -eu
depth=24
if [ "${1:-}" = "--depth" ]; then
    depth=$2
    shift 2
fi
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x"$depth" -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
server=$!
cleanup() {
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT INT TERM
tries=0
until grep -q '^[0-9][0-9]*$' "$dir/display" 2>/dev/null; do
    if ! kill -0 "$server" 2>/dev/null || [ "$tries" -gt 200 ]; then
        echo "Xvfb did not start:" >&2
        cat "$dir/log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.05
done
status=0
DISPLAY=":$(cat "$dir/display")" "$@" || status=$?
exit "$status"
