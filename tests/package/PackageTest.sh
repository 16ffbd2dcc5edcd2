#!/usr/bin/env bash
# The Debian package: it builds, lintian reports neither an error nor a
# warning, it carries the manual pages, the README and an MIT copyright file,
# it installs with dpkg into a scratch root, and the composer it installed runs
# there.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null) || fail "cpack failed"
deb=$(ls "$scratch"/out/tontoko_*_*.deb)
[ -f "$deb" ] || fail "no package"
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 libfluidsynth3 fluid-soundfont-gm fonts-ipafont-gothic qt6-translations-l10n; do
    grep -q "$need" <<<"$depends" || fail "Depends lacks $need: $depends"
done
lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
contents=$(dpkg-deb -c "$deb")
for f in usr/share/man/man1/tontoko.1.gz usr/share/man/man1/tontoko-compose.1.gz \
         usr/share/man/ja/man1/tontoko.1.gz usr/share/man/ja/man1/tontoko-compose.1.gz \
         usr/share/doc/tontoko/README.md.gz usr/share/doc/tontoko/copyright; do
    grep -q " \./$f\$" <<<"$contents" || fail "the package lacks /$f"
done

admin="$scratch/admin"
mkdir -p "$admin/info" "$admin/updates" "$admin/triggers" "$scratch/root"
touch "$admin/status" "$admin/available"
# The scratch database knows none of the system's packages: the dependencies
# are there, but only on the real system.
dpkg --instdir="$scratch/root" --admindir="$admin" --force-depends --force-not-root \
    --log=/dev/null -i "$deb" >/dev/null || fail "dpkg -i failed"
dpkg-query --admindir="$admin" -W -f='${Status}' tontoko | grep -q "install ok installed" ||
    fail "not installed"
usr="$scratch/root/usr"
copyright="$usr/share/doc/tontoko/copyright"
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
grep -qx 'License: MIT' "$copyright" || fail "the copyright file does not name the MIT licence"
if grep -qi 'all rights reserved' "$copyright"; then
    fail "the copyright file still reserves all rights"
fi
"$usr/bin/tontoko-compose" --data "$usr/share/tontoko" --seed 3 -o "$scratch/song.mid" >/dev/null ||
    fail "the installed composer failed"
[ "$(head -c 4 "$scratch/song.mid")" = MThd ] || fail "no MIDI file"
echo "package OK: $(basename "$deb")"
