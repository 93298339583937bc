#!/usr/bin/env bash
# Both entry files of the GNOME Shell extension parse, and both load the same
# body. The imports.* entry (GNOME 43-44) is parsed as a script here and loaded
# by the real Shell in the gnome_shell test; the ES-module entry (GNOME 45+),
# which GNOME 43 cannot load, runs under `gjs -m` with the Shell's Extension
# class stood in for, exports the body's interface on a private bus and
# answers on it.
set -euo pipefail
ext=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../src/platform/gnome/extension" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for entry in legacy module; do
  grep -q "body.js" "$ext/$entry/extension.js" || { echo "lint: $entry/extension.js does not load body.js" >&2; exit 1; }
  uuid=$(sed -n 's/.*"uuid": *"\([^"]*\)".*/\1/p' "$ext/$entry/metadata.json")
  [ "$uuid" = ventrel@ventrel.app ] || { echo "lint: $entry/metadata.json names $uuid" >&2; exit 1; }
done

gjs -c "
const text = new TextDecoder().decode(imports.gi.GLib.file_get_contents('$ext/legacy/extension.js')[1]);
new Function(text);
if (!/function init\(/.test(text)) throw new Error('legacy/extension.js has no init()');"

mkdir "$tmp/shell"
cp "$ext/body.js" "$tmp/shell/"
sed 's|resource:///org/gnome/shell/extensions/extension.js|./stand-in.js|' "$ext/module/extension.js" >"$tmp/shell/extension.js"
echo 'export class Extension {}' >"$tmp/shell/stand-in.js"
cat >"$tmp/shell/check.js" <<'JS'
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import VentrelExtension from './extension.js';
import {OBJECT_PATH, INTERFACE, VERSION} from './body.js';

// The Shell's global object; the body reads it only when asked about windows.
globalThis.global = {};
const extension = new VentrelExtension();
extension.enable();
const bus = Gio.DBus.session;
const loop = new GLib.MainLoop(null, false);
let failure = 'no answer';
bus.call(bus.get_unique_name(), OBJECT_PATH, 'org.freedesktop.DBus.Properties', 'Get',
    new GLib.Variant('(ss)', [INTERFACE, 'Version']), null, Gio.DBusCallFlags.NONE, 2000, null, (_, result) => {
        try {
            const version = bus.call_finish(result).deepUnpack()[0].unpack();
            failure = version === VERSION ? null : `Version ${version}, expected ${VERSION}`;
        } catch (error) {
            failure = String(error);
        }
        loop.quit();
    });
loop.run();
extension.disable();
if (failure)
    throw new Error(failure);
JS
# Mutter's typelib lives beside its private library, where the Shell finds it.
typelibs=$(ls -d /usr/lib/*/mutter-* 2>/dev/null | tr '\n' ':')
GI_TYPELIB_PATH=$typelibs${GI_TYPELIB_PATH:-} dbus-run-session -- gjs -m "$tmp/shell/check.js"
