// The part of Ventrel that runs inside GNOME Shell: a small D-Bus interface on
// the Shell's own connection through which Ventrel reads the focused window
// and moves it. Nothing outside the Shell can move another program's window
// on Wayland; this is the smallest surface that can.
//
// Written once for both loaders: the GNOME 43-44 entry imports it with a
// dynamic import(), the 45+ entry statically. It imports nothing itself: the
// entry hands in the Shell's libraries, so the file is the same module
// whichever way it is loaded.

export const OBJECT_PATH = '/app/ventrel/WindowControl';
export const INTERFACE = 'app.ventrel.WindowControl1';
// Raised whenever a method or its arguments change meaning; Ventrel refuses
// an interface version it does not know instead of guessing.
export const VERSION = 1;

const XML = `<node>
  <interface name="${INTERFACE}">
    <property name="Version" type="u" access="read"/>
    <method name="Focused">
      <arg direction="out" name="window" type="t"/>
      <arg direction="out" name="frame" type="(iiii)"/>
      <arg direction="out" name="kind" type="s"/>
      <arg direction="out" name="state" type="as"/>
      <arg direction="out" name="monitor" type="i"/>
      <arg direction="out" name="monitors" type="a((iiii)(iiii))"/>
      <arg direction="out" name="primary" type="i"/>
    </method>
    <method name="Screens">
      <arg direction="out" name="monitors" type="a((iiii)(iiii))"/>
      <arg direction="out" name="primary" type="i"/>
    </method>
    <method name="MoveResize">
      <arg direction="in" name="window" type="t"/>
      <arg direction="in" name="frame" type="(iiii)"/>
      <arg direction="out" name="frame" type="(iiii)"/>
    </method>
    <method name="Resize">
      <arg direction="in" name="window" type="t"/>
      <arg direction="in" name="width" type="i"/>
      <arg direction="in" name="height" type="i"/>
      <arg direction="out" name="frame" type="(iiii)"/>
    </method>
  </interface>
</node>`;

const ERROR = `${INTERFACE}.Error`;
const LIMIT = 32767;
// Wayland clients answer a configure with their next frame; X11 frames are
// placed at once. A window that moved keeps the wait open for QUIET_MS more;
// CAP_MS bounds the whole wait whatever the client does.
const FIRST_CHANGE_MS = {wayland: 250, x11: 60};
const QUIET_MS = 40;
const CAP_MS = 1000;

class Failure extends Error {
    constructor(name, message) {
        super(message);
        this.dbusName = `${ERROR}.${name}`;
    }
}

const rectOf = r => [r.x, r.y, r.width, r.height];
const same = (a, b) => a.every((v, i) => v === b[i]);

export class WindowControl {
    constructor({Gio, GLib, Meta, shellGlobal}) {
        this._Gio = Gio;
        this._GLib = GLib;
        this._Meta = Meta;
        this._global = shellGlobal;
        this._callerPids = new Map();
        this._pending = new Set();
        this._exported = Gio.DBusExportedObject.wrapJSObject(XML, this);
    }

    get Version() {
        return VERSION;
    }

    export(connection) {
        this._exported.export(connection, OBJECT_PATH);
    }

    destroy() {
        for (const cancel of this._pending)
            cancel();
        this._pending.clear();
        this._exported.unexport();
    }

    FocusedAsync(_params, invocation) {
        this._answer(invocation, async () => {
            const win = this._global.display.get_focus_window();
            if (!win)
                throw new Failure('NoFocus', 'no window has the focus');
            if (!this._isTarget(win))
                throw new Failure('NoWindow', 'the focused window is not an application window');
            if (win.get_pid() === await this._callerPid(invocation))
                throw new Failure('OwnWindow', 'the focused window is one of the caller\'s own');
            const [monitors, primary] = this._screens();
            return new this._GLib.Variant('(t(iiii)sasia((iiii)(iiii))i)', [
                win.get_id(), rectOf(win.get_frame_rect()), this._kind(win), this._state(win),
                win.get_monitor(), monitors, primary]);
        });
    }

    ScreensAsync(_params, invocation) {
        this._answer(invocation, async () =>
            new this._GLib.Variant('(a((iiii)(iiii))i)', this._screens()));
    }

    MoveResizeAsync([id, frame], invocation) {
        this._answer(invocation, async () => {
            const [x, y, width, height] = frame;
            this._checkPlace(x, y);
            this._checkSize(width, height);
            const win = await this._target(id, invocation);
            return this._placed(await this._place(win, [x, y, width, height]));
        });
    }

    ResizeAsync([id, width, height], invocation) {
        this._answer(invocation, async () => {
            this._checkSize(width, height);
            const win = await this._target(id, invocation);
            const [x, y] = rectOf(win.get_frame_rect());
            return this._placed(await this._place(win, [x, y, width, height]));
        });
    }

    _answer(invocation, work) {
        work().then(value => invocation.return_value(value), error => {
            if (error instanceof Failure)
                invocation.return_dbus_error(error.dbusName, error.message);
            else
                invocation.return_dbus_error(`${ERROR}.Failed`, String(error));
        });
    }

    _placed(frame) {
        return new this._GLib.Variant('((iiii))', [frame]);
    }

    _checkPlace(...values) {
        if (!values.every(v => Number.isInteger(v) && Math.abs(v) <= LIMIT))
            throw new Failure('InvalidValue', `a place must be whole pixels within ±${LIMIT}`);
    }

    _checkSize(...values) {
        if (!values.every(v => Number.isInteger(v) && v >= 1 && v <= LIMIT))
            throw new Failure('InvalidValue', `a size must be whole pixels from 1 to ${LIMIT}`);
    }

    _isTarget(win) {
        const T = this._Meta.WindowType;
        return !win.is_override_redirect() &&
            [T.NORMAL, T.DIALOG, T.MODAL_DIALOG, T.UTILITY].includes(win.get_window_type());
    }

    _kind(win) {
        return win.get_client_type() === this._Meta.WindowClientType.WAYLAND ? 'wayland' : 'x11';
    }

    // GNOME 49 replaced get_maximized() and the flags of unmaximize() with
    // is_maximized() and a plain unmaximize().
    _isMaximized(win) {
        return typeof win.get_maximized === 'function' ? win.get_maximized() !== 0 : win.is_maximized();
    }

    _unmaximize(win) {
        if (typeof win.get_maximized === 'function')
            win.unmaximize(this._Meta.MaximizeFlags.BOTH);
        else
            win.unmaximize();
    }

    _state(win) {
        const state = [];
        if (this._isMaximized(win))
            state.push('maximized');
        if (win.is_fullscreen())
            state.push('fullscreen');
        if (!win.allows_resize())
            state.push('fixed-size');
        if (!win.allows_move())
            state.push('fixed-place');
        return state;
    }

    // Read fresh on every call: the work area changes with panels, monitors
    // and workspaces, and reads as the whole monitor for a moment after the
    // Shell starts.
    _screens() {
        const display = this._global.display;
        const workspace = this._global.workspace_manager.get_active_workspace();
        const monitors = [];
        for (let i = 0; i < display.get_n_monitors(); i++) {
            monitors.push([rectOf(display.get_monitor_geometry(i)),
                rectOf(workspace.get_work_area_for_monitor(i))]);
        }
        return [monitors, display.get_primary_monitor()];
    }

    async _target(id, invocation) {
        const win = this._global.get_window_actors().map(a => a.get_meta_window())
            .find(w => w.get_id() === id);
        if (!win)
            throw new Failure('Gone', 'the window went away');
        if (!this._isTarget(win) || win.get_pid() === await this._callerPid(invocation))
            throw new Failure('OwnWindow', 'that window may not be changed by its caller');
        if (win.is_fullscreen())
            throw new Failure('Refused', 'the window is full screen');
        return win;
    }

    // The caller's process, from the bus itself, so our own windows are never
    // a target whatever the caller says. Unique names are never reused on a
    // bus, so the answer is kept.
    _callerPid(invocation) {
        const sender = invocation.get_sender();
        if (this._callerPids.has(sender))
            return Promise.resolve(this._callerPids.get(sender));
        return new Promise(resolve => {
            invocation.get_connection().call('org.freedesktop.DBus', '/org/freedesktop/DBus',
                'org.freedesktop.DBus', 'GetConnectionUnixProcessID',
                new this._GLib.Variant('(s)', [sender]), null, this._Gio.DBusCallFlags.NONE, 1000, null,
                (connection, result) => {
                    let pid = -1;
                    try {
                        [pid] = connection.call_finish(result).deepUnpack();
                    } catch (e) {
                        // Without the caller's process nothing can be ours.
                    }
                    this._callerPids.set(sender, pid);
                    resolve(pid);
                });
        });
    }

    async _place(win, target) {
        const current = rectOf(win.get_frame_rect());
        const wasMaximized = this._isMaximized(win);
        // A maximized Wayland client may announce a fixed size until it is
        // restored, so only a window that is not maximized is taken at its word.
        if (!wasMaximized && !win.allows_resize() && (current[2] !== target[2] || current[3] !== target[3]))
            throw new Failure('Refused', 'the window has a fixed size');
        if (wasMaximized)
            this._unmaximize(win);
        win.move_resize_frame(true, ...target);
        let frame = await this._settled(win, target, wasMaximized);
        // Right after unmaximize() the frame still reads maximized until the
        // client answers; a request equal to that stale frame was dropped, and
        // the client went back to its old size. Ask once more.
        if (wasMaximized && !same(frame, target)) {
            win.move_resize_frame(true, ...target);
            frame = await this._settled(win, target, false);
        }
        // A window with size increments (a terminal) takes a smaller size, and
        // Mutter then keeps it where the old size was placed.
        if (frame[0] !== target[0] || frame[1] !== target[1]) {
            win.move_frame(true, target[0], target[1]);
            frame = await this._settled(win, [target[0], target[1], frame[2], frame[3]], false);
        }
        return frame;
    }

    // The frame once the window has answered: at once when it already is the
    // target (an X11 frame is placed synchronously), else when the window has
    // stopped changing, bounded by CAP_MS. Ends early if the window goes away.
    _settled(win, target, staleFrame) {
        const GLib = this._GLib;
        return new Promise((resolve, reject) => {
            if (!staleFrame && same(rectOf(win.get_frame_rect()), target)) {
                resolve(target);
                return;
            }
            let quiet = 0;
            let cap = 0;
            const signals = [];
            const finish = gone => {
                signals.forEach(id => win.disconnect(id));
                for (const source of [quiet, cap]) {
                    if (source)
                        GLib.source_remove(source);
                }
                quiet = cap = 0;
                this._pending.delete(cancel);
                if (gone)
                    reject(new Failure('Gone', 'the window went away'));
                else
                    resolve(rectOf(win.get_frame_rect()));
            };
            const cancel = () => finish(true);
            const wait = ms => {
                if (quiet)
                    GLib.source_remove(quiet);
                quiet = GLib.timeout_add(GLib.PRIORITY_DEFAULT, ms, () => {
                    quiet = 0;
                    finish(false);
                    return GLib.SOURCE_REMOVE;
                });
            };
            const changed = () => {
                if (same(rectOf(win.get_frame_rect()), target))
                    finish(false);
                else
                    wait(QUIET_MS);
            };
            signals.push(win.connect('size-changed', changed));
            signals.push(win.connect('position-changed', changed));
            signals.push(win.connect('unmanaged', () => finish(true)));
            cap = GLib.timeout_add(GLib.PRIORITY_DEFAULT, CAP_MS, () => {
                cap = 0;
                finish(false);
                return GLib.SOURCE_REMOVE;
            });
            this._pending.add(cancel);
            wait(FIRST_CHANGE_MS[this._kind(win)]);
        });
    }
}
