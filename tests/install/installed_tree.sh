#!/usr/bin/env bash
# installed_tree.sh BUILD VERSION APP_ID: installs BUILD under /usr in a
# scratch DESTDIR and checks the result as a user would meet it: the program
# and its tray app run from there, the launcher entry, metadata and manual
# page validate, --help and the manual name the same commands and options,
# and nothing reaches back into the build folder.
set -euo pipefail
build=$(cd "$1" && pwd -P) version=$2 id=$3
. "$(dirname "$0")/../../scripts/desktop/desktop-lib.sh" # wait_for
root=$(mktemp -d)
trap 'kill "${tray:-}" 2>/dev/null || true; rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
export XDG_CONFIG_HOME=$root/config XDG_RUNTIME_DIR=$root/runtime LC_ALL=C.UTF-8 MANWIDTH=80
mkdir -m 700 "$XDG_RUNTIME_DIR"

[ "$("$usr/bin/ventrel" --version)" = "ventrel $version (1)" ] || fail "--version: $("$usr/bin/ventrel" --version)"
"$usr/bin/ventrel" list | grep -q "Desktop App" || fail "ventrel list shows no presets"

# The tray app is the installed library, loaded by the installed binary.
QT_QPA_PLATFORM=offscreen "$usr/bin/ventrel" 2>"$root/tray.err" &
tray=$!
wait_for 10 grep -qF "$usr/lib/ventrel/libventrel_gui.so" /proc/$tray/maps ||
  fail "the tray app did not load from the installed tree: $(cat "$root/tray.err")"

for file in "$usr/bin/ventrel" "$usr"/lib/ventrel/*.so; do
  dynamic=$(readelf -d "$file")
  case $file in */bin/*) want='$ORIGIN/../lib/ventrel' ;; *) want='$ORIGIN' ;; esac
  grep -qF "Library runpath: [$want]" <<<"$dynamic" || fail "$file: RUNPATH is not $want: $(grep -i path <<<"$dynamic")"
  ! grep -q "(RPATH)" <<<"$dynamic" || fail "$file has an RPATH"
  deps=$(ldd "$file")
  ! grep -qE "not found|$build" <<<"$deps" || fail "$file: $deps"
done

desktop=$usr/share/applications/$id.desktop
remarks=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$remarks" ] || fail "$desktop: $remarks"
grep -qx "Icon=$id" "$desktop" && grep -qx "Exec=ventrel" "$desktop" || fail "$desktop names another icon or program"
for size in 16 22 32 48 64 128 256 512; do
  [ -s "$usr/share/icons/hicolor/${size}x$size/apps/$id.png" ] || fail "no $size px icon"
done
[ -s "$usr/share/icons/hicolor/symbolic/apps/$id-symbolic.svg" ] || fail "no symbolic icon"
appstreamcli validate --pedantic --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$root/appstream" 2>&1 ||
  fail "metainfo: $(cat "$root/appstream")"
[ ! -e "$usr/share/autostart" ] && [ ! -e "$root/etc" ] || fail "a system-wide autostart entry is installed"

man --warnings -l "$usr/share/man/man1/ventrel.1.gz" >"$root/page" 2>"$root/man.err" || fail "man failed"
[ ! -s "$root/man.err" ] || fail "man warnings: $(cat "$root/man.err")"
# Commands are the two-space-indented words of --help and the tags of the manual's COMMANDS section.
"$usr/bin/ventrel" --help >"$root/help"
section() { awk -v name="$1" '$0 == name {on = 1; next} /^[A-Z]/ {on = 0} on' "$root/page"; }
help_commands=$(sed -n 's/^  \([a-z][a-z]*\)\( .*\)\{0,1\}$/\1/p' "$root/help" | sort)
page_commands=$(section COMMANDS | sed -n 's/^       \([a-z][a-z]*\).*/\1/p' | sort)
[ "$help_commands" = "$page_commands" ] || fail "commands: --help has" $help_commands "; the manual has" $page_commands
help_options=$(sed -n '/^Options:/,/^$/p' "$root/help" | grep -o -- '--[a-z-]*' | sort -u)
page_options=$(section OPTIONS | grep -o -- '--[a-z-]*' | sort -u)
[ "$help_options" = "$page_options" ] || fail "options: --help has" $help_options "; the manual has" $page_options
echo "installed tree checked: $(du -sk "$usr" | cut -f1) KiB"
