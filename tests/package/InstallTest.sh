#!/usr/bin/env bash
# The installed tree in a staging folder: every file in its place, the desktop
# entry and the metainfo valid, the manual pages rendering without a warning,
# the installed composer working with the installed pattern files, and the
# installed program seeding the user's folder once without ever overwriting it.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"
for f in bin/tontoko bin/tontoko-compose \
         share/tontoko/AccPattern.dat share/tontoko/DrumPattern.dat share/tontoko/index.html share/tontoko/manual-symbols.png \
         share/applications/tontoko.desktop share/metainfo/org.example.tontoko.metainfo.xml \
         share/icons/hicolor/scalable/apps/tontoko.svg \
         share/doc/tontoko/copyright share/doc/tontoko/changelog.gz share/doc/tontoko/README.md.gz \
         share/man/man1/tontoko.1.gz share/man/man1/tontoko-compose.1.gz \
         share/man/ja/man1/tontoko.1.gz share/man/ja/man1/tontoko-compose.1.gz; do
    [ -f "$root/$f" ] || fail "missing $f"
done
[ -x "$root/bin/tontoko" ] && [ -x "$root/bin/tontoko-compose" ] || fail "programs not executable"
for size in 16 22 24 32 48 64 128 256; do
    icon="$root/share/icons/hicolor/${size}x${size}/apps/tontoko.png"
    file "$icon" | grep -q "PNG image data, $size x $size" || fail "icon $icon is not $size x $size"
done

desktop="$root/share/applications/tontoko.desktop"
desktop-file-validate "$desktop" || fail "desktop entry invalid"
grep -qx 'Name=れっつ，とんとこ！' "$desktop" || fail "desktop entry name"
grep -qx 'Categories=AudioVideo;Audio;Music;' "$desktop" || fail "desktop entry categories"
grep -qx 'Comment=楽譜が読めなくても、ボタンを押すだけで短い曲が作れます' "$desktop" || fail "comment"
# Saved songs open with it from the file manager.
grep -qx 'Exec=tontoko %f' "$desktop" || fail "desktop entry does not take a file"
grep -qx 'MimeType=audio/midi;audio/x-midi;' "$desktop" || fail "desktop entry MIME types"
appstreamcli validate --no-net "$root/share/metainfo/org.example.tontoko.metainfo.xml" ||
    fail "metainfo invalid"

# The programs answer --help and --version without a display; their licence
# is MIT.
for program in tontoko tontoko-compose; do
    bin="$root/bin/$program"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" --help >"$stage/help" ||
        fail "$program --help failed"
    grep -q "^Usage: .*$program" "$stage/help" || fail "$program --help gives no usage line"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" --version >"$stage/version" ||
        fail "$program --version failed"
    [ "$(head -n 1 "$stage/version")" = "$program $(sed -n 's/^tontoko (\(.*\)).*/\1/p;q' "$(dirname "$0")/../../packaging/changelog")" ] ||
        fail "$program --version names another version: $(head -n 1 "$stage/version")"
    grep -q "License MIT" "$stage/version" || fail "$program --version does not name the MIT licence"
done

# The manual pages: groff and man render the English ones without a single
# warning; they and the Japanese ones carry every option of --help and the
# sections help2man cannot know.
for program in tontoko tontoko-compose; do
    page="$root/share/man/man1/$program.1.gz"
    [ "$(gzip -cd "$page" | gzip -9n | cmp - "$page" && echo same)" = same ] ||
        fail "$page is not compressed with gzip -9n"
    zcat "$page" | LC_ALL=C.UTF-8 groff -ww -man -Tutf8 -z 2>"$stage/groff" || fail "groff failed on $page"
    [ ! -s "$stage/groff" ] || fail "groff warns on $page: $(cat "$stage/groff")"
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -E UTF-8 -l "$page" >"$stage/page" 2>"$stage/man" ||
        fail "man -l failed on $page"
    [ ! -s "$stage/man" ] || fail "man -l warns on $page: $(cat "$stage/man")"
    text=$(sed 's/\xe2\x80\x90/-/g; s/\xe2\x88\x92/-/g' "$stage/page")
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES COPYRIGHT "SEE ALSO"; do
        grep -qx "$section" <<<"$text" || fail "$program(1) has no section $section"
    done
    for word in TONTOKO_SOUNDFONT TONTOKO_AUDIO_DRIVER .local/share/tontoko "License MIT"; do
        grep -qF -- "$word" <<<"$text" || fail "$program(1) does not mention $word"
    done
    for option in $("$root/bin/$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
        grep -qE -- "(^|[^a-z-])$option([^a-z-]|\$)" <<<"$text" || fail "$program(1) lacks the option $option"
    done

    # The Japanese page, as lintian reads it: groff cannot adjust every line of
    # Japanese text (a known limit lintian forgives), and nothing else.
    page="$root/share/man/ja/man1/$program.1.gz"
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -E UTF-8 -l "$page" >"$stage/page" 2>"$stage/man" ||
        fail "man -l failed on $page"
    if grep -vE "warning \[.*\]: (cannot adjust|can't break) line" "$stage/man"; then
        fail "man -l warns on $page"
    fi
    text=$(sed 's/\xe2\x80\x90/-/g; s/\xe2\x88\x92/-/g' "$stage/page")
    for section in 名前 書式 説明 オプション 終了ステータス 環境変数 ファイル 例 著作権 関連項目; do
        grep -qx "$section" <<<"$text" || fail "$program(1) in Japanese has no section $section"
    done
    for option in $("$root/bin/$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
        grep -qE -- "(^|[^a-z-])$option([^a-z-]|\$)" <<<"$text" ||
            fail "$program(1) in Japanese lacks the option $option"
    done
done

# The installed composer, from a folder without pattern files.
mkdir "$stage/work"
cd "$stage/work"
"$root/bin/tontoko-compose" --data "$root/share/tontoko" --seed 7 -o song.mid >/dev/null ||
    fail "installed composer failed"
[ "$(head -c 4 song.mid)" = MThd ] || fail "no MIDI file written"
"$build/cli/tontoko-compose" --data "$(dirname "$0")/../../data" --seed 7 -o built.mid >/dev/null
cmp -s song.mid built.mid || fail "installed composer writes other bytes than the built one"

# The installed program started from a folder without its files (as from the
# desktop menu, in the home folder) works in $XDG_DATA_HOME/tontoko.
export HOME="$stage/home" XDG_DATA_HOME="$stage/xdg" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
user="$XDG_DATA_HOME/tontoko"
start() {
    (cd "$HOME" && exec "$root/bin/tontoko") >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 1 100); do
        [ -f "$user/index.html" ] && [ -f "$user/AccPattern.dat" ] && [ -f "$user/DrumPattern.dat" ] && break
        sleep 0.1
    done
    sleep 0.5
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
start
cmp -s "$user/AccPattern.dat" "$root/share/tontoko/AccPattern.dat" || fail "user folder not seeded"
cmp -s "$user/index.html" "$root/share/tontoko/index.html" || fail "manual not seeded"
cmp -s "$user/manual-symbols.png" "$root/share/tontoko/manual-symbols.png" || fail "manual picture not seeded"
printf 'edited by the user\n' >"$user/DrumPattern.dat"
rm "$user/index.html"
start
[ "$(cat "$user/DrumPattern.dat")" = "edited by the user" ] || fail "an edited pattern file was overwritten"
[ -f "$user/index.html" ] || fail "a removed manual was not seeded again"
[ ! -e "$HOME/AccPattern.dat" ] || fail "files were written into the start folder"
echo "installed tree OK"
