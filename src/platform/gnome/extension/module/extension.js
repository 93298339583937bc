// Entry for GNOME Shell 45 and later, which load extensions as ES modules.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

import {WindowControl} from './body.js';

export default class VentrelExtension extends Extension {
    enable() {
        this._control = new WindowControl({Gio, GLib, Meta, shellGlobal: global});
        this._control.export(Gio.DBus.session);
    }

    disable() {
        this._control?.destroy();
        this._control = null;
    }
}
