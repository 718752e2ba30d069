#!/bin/sh
# Renders phrase.mid through a Tamborelle module with the options in
# showcase.args.   Usage: render-showcase.sh MODULE OUT.mid [OPTION]...
# Further options go to tamborelle-host render as they are, for instance
# --picture roll.png or --events.
# The host is taken from $TAMBORELLE_HOST, else from beside the module (a build
# directory holds both), else from the PATH, else from a build directory of
# this checkout (build*/tamborelle-host).
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 MODULE OUT.mid [OPTION]..." >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
module=$1
out=$2
shift 2

host=${TAMBORELLE_HOST:-}
if [ -z "$host" ] && [ -x "$(dirname "$module")/tamborelle-host" ]; then
    host=$(dirname "$module")/tamborelle-host
fi
if [ -z "$host" ]; then
    host=$(command -v tamborelle-host 2>/dev/null || true)
fi
if [ -z "$host" ]; then
    for candidate in "$here"/../build*/tamborelle-host; do
        if [ -x "$candidate" ]; then
            host=$candidate
            break
        fi
    done
fi
if [ -z "$host" ]; then
    echo "$0: tamborelle-host not found; build it or set TAMBORELLE_HOST" >&2
    exit 2
fi

# One option per line: the first word is the option, the rest its value. The
# options given on the command line stay in front.
while IFS= read -r line || [ -n "$line" ]; do
    case $line in
        ''|'#'*) continue ;;
    esac
    case $line in
        *' '*) set -- "$@" "${line%% *}" "${line#* }" ;;
        *) set -- "$@" "$line" ;;
    esac
done < "$here/showcase.args"

exec "$host" render "$module" "$here/phrase.mid" "$out" "$@"
