#!/usr/bin/env bash
# installed_tree.sh BUILD VERSION APP_ID: installs BUILD under /usr in a
# scratch DESTDIR and checks the result as a user would meet it: the program
# and its tray app run from there, the launcher entry names them, the metadata
# validates, and nothing reaches back into the build folder. (CI's lintian
# run on the package validates the desktop entry and the manual page.)
set -euo pipefail
build=$(cd "$1" && pwd -P) version=$2 id=$3
. "$(dirname "$0")/../../scripts/desktop/desktop-lib.sh" # wait_for
root=$(mktemp -d)
trap 'kill "${tray:-}" 2>/dev/null || true; rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
export XDG_CONFIG_HOME=$root/config XDG_RUNTIME_DIR=$root/runtime LC_ALL=C.UTF-8
mkdir -m 700 "$XDG_RUNTIME_DIR"

[ "$("$usr/bin/ventrel" --version)" = "ventrel $version (1)" ] || fail "--version: $("$usr/bin/ventrel" --version)"

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
grep -qx "Icon=$id" "$desktop" && grep -qx "Exec=ventrel" "$desktop" || fail "$desktop names another icon or program"
appstreamcli validate --pedantic --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$root/appstream" 2>&1 ||
  fail "metainfo: $(cat "$root/appstream")"
[ ! -e "$usr/share/autostart" ] && [ ! -e "$root/etc" ] || fail "a system-wide autostart entry is installed"

echo "installed tree checked: $(du -sk "$usr" | cut -f1) KiB"
