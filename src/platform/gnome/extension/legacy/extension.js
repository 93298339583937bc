// Entry for GNOME Shell 43 and 44, which load extensions as imports.* scripts.
// The body is an ES module; gjs loads it here with a dynamic import().
/* exported init */
const {Gio, GLib, Meta} = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;

class VentrelExtension {
    enable() {
        const generation = this._generation = (this._generation ?? 0) + 1;
        const body = ExtensionUtils.getCurrentExtension().dir.get_child('body.js').get_uri();
        import(body).then(({WindowControl}) => {
            // Disabled (or disabled and enabled again) while loading.
            if (generation !== this._generation)
                return;
            this._control = new WindowControl({Gio, GLib, Meta, shellGlobal: global});
            this._control.export(Gio.DBus.session);
        }).catch(error => logError(error, 'Ventrel'));
    }

    disable() {
        this._generation++;
        this._control?.destroy();
        this._control = null;
    }
}

function init() {
    return new VentrelExtension();
}
