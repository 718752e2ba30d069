#!/bin/sh
# The Debian package as a user gets it: unpacked into a scratch root, it holds the module
# where hosts look, the host and the documentation and nothing else; it names dependencies
# this system can satisfy; the installed host loads the installed module and plays the
# installed example through it; and when Ardour is installed, its plug-in scanner accepts
# the module as a MIDI instrument.   Usage: deb-package-test.sh PACKAGE.deb
set -eu

fail() {
    echo "deb-package-test: $*" >&2
    exit 1
}

[ $# -eq 1 ] || fail "usage: deb-package-test.sh PACKAGE.deb"
deb=$1
[ -f "$deb" ] || fail "$deb does not exist (tools/build-deb.sh makes it)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
doc=$root/usr/share/doc/tamborelle-vst

# The name a user installs and the name of the file agree.
name=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
[ "$name" = tamborelle-vst ] || fail "package is named '$name'"
[ "$(basename "$deb")" = "${name}_${version}_${arch}.deb" ] || fail "file $(basename "$deb") is not ${name}_${version}_${arch}.deb"

# Everything lies in the package's own places.
dpkg-deb -x "$deb" "$root"
strays=$(cd "$root" && find . -type f | grep -v -e '^\./usr/lib/vst/' -e '^\./usr/bin/tamborelle-host$' \
    -e '^\./usr/share/doc/tamborelle-vst/' || true)
[ -z "$strays" ] || fail "files outside the package's places: $strays"
for f in usr/lib/vst/Tamborelle64.so usr/bin/tamborelle-host usr/share/doc/tamborelle-vst/README.md \
    usr/share/doc/tamborelle-vst/examples/phrase.mid usr/share/doc/tamborelle-vst/examples/showcase.args \
    usr/share/doc/tamborelle-vst/examples/render-showcase.sh usr/share/doc/tamborelle-vst/docs/panel.png \
    usr/share/doc/tamborelle-vst/docs/showcase-roll.png; do
    [ -f "$root/$f" ] || fail "the package has no /$f"
done
[ -x "$root/usr/lib/vst/Tamborelle64.so" ] && [ -x "$doc/examples/render-showcase.sh" ] ||
    fail "the module or the example script is not executable"

# The libraries the binaries link, found by dpkg-shlibdeps, each a package this system knows.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libpng16-16 libfreetype6 libfontconfig1 libjack; do
    echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
for package in $(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | grep .); do
    dpkg-query -W "$package" >/dev/null 2>&1 || case "$package" in
        libjack-0.125) ;;  # the alternative to libjack-jackd2-0
        *) fail "Depends names $package, which this system does not know" ;;
    esac
done

# The module as shipped: the two entry names only, its debug information split off.
exports=$(nm -D --defined-only "$root/usr/lib/vst/Tamborelle64.so" | awk '{print $3}' | LC_ALL=C sort | tr '\n' ' ')
[ "$exports" = "VSTPluginMain main " ] || fail "the module exports '$exports'"
if readelf -S "$root/usr/lib/vst/Tamborelle64.so" | grep -q '\.debug_info'; then
    fail "the module still carries its debug information"
fi

# The installed host with the installed module and example.
host=$root/usr/bin/tamborelle-host
info=$("$host" info "$root/usr/lib/vst/Tamborelle64.so") || fail "tamborelle-host info failed: $info"
for text in "effect name:   Tamborelle" "vendor:        Brisklaine" "parameters:    42"; do
    echo "$info" | grep -q "$text" || fail "tamborelle-host info does not show '$text'"
done
render=$(TAMBORELLE_HOST=$host "$doc/examples/render-showcase.sh" "$root/usr/lib/vst/Tamborelle64.so" \
    "$scratch/showcase.mid") || fail "the installed example does not render: $render"
echo "$render" | grep -q "notes out: 90" || fail "the installed example plays other notes: $render"

# A real host's scanner, when there is one.
scanner=/usr/lib/ardour7/ardour-vst-scanner
if [ -x "$scanner" ]; then
    cache=$scratch/cache
    mkdir -p "$cache"
    XDG_CACHE_HOME=$cache LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" -v -f \
        "$root/usr/lib/vst/Tamborelle64.so" >"$scratch/scan.log" 2>&1 ||
        fail "Ardour's scanner failed on the module: $(tail -n 5 "$scratch/scan.log")"
    record=$(find "$cache" -name '*.v2i' | head -n 1)
    [ -n "$record" ] || fail "Ardour's scanner wrote no record; the module did not instantiate"
    for text in 'name="Tamborelle"' 'creator="Brisklaine"' 'n_midi_inputs="1"' 'n_midi_outputs="1"' \
        'is_instrument="1"'; do
        grep -q "$text" "$record" || fail "Ardour's record lacks $text: $(cat "$record")"
    done
    echo "deb-package-test: Ardour's scanner accepts the module"
else
    echo "deb-package-test: $scanner is not installed; the real host's scan is skipped"
fi
echo "deb-package-test: $(basename "$deb") is complete"
