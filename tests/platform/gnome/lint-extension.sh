#!/usr/bin/env bash
# The ES-module entry of the GNOME Shell extension (GNOME 45+), which the GNOME
# 43 of the gnome_shell test cannot load: it runs under `gjs -m` with the
# Shell's Extension class stood in for, exports the body's interface on a
# private bus and answers on it. The other entry is the one that test loads.
set -euo pipefail
ext=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../src/platform/gnome/extension" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

uuid=$(sed -n 's/.*"uuid": *"\([^"]*\)".*/\1/p' "$ext/module/metadata.json")
[ "$uuid" = ventrel@ventrel.app ] || { echo "lint: module/metadata.json names $uuid" >&2; exit 1; }

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
