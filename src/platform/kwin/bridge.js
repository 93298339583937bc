// Runs inside KWin (Plasma 5.27 and 6). Ventrel loads it, then it asks Ventrel
// for work with a long-lived D-Bus call (next) and answers each command
// (answer). It only reports facts and sets frames; Ventrel decides what they
// mean. Ventrel prepends `var bridge = {service, path, token};` before
// loading it; the token tells this script's calls from an earlier one's.
"use strict";

var protocol = 1;
var bridgeInterface = "app.ventrel.KWinBridge1";
var limit = 1000000;
var watched = null;

function send(message) {
    callDBus(bridge.service, bridge.path, bridgeInterface, "answer", bridge.token, JSON.stringify(message));
}

function rect(r) {
    return [r.x, r.y, r.width, r.height];
}

function allWindows() {
    return workspace.windowList ? workspace.windowList() : workspace.clientList();
}

function activeWindow() {
    return workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
}

function screens() {
    var list = [];
    var main = -1;
    var desktop = workspace.currentDesktop;
    // Plasma 6 lists outputs; 5.27 numbers its screens.
    if (typeof workspace.numScreens !== "number") {
        var active = workspace.activeScreen;
        for (var i = 0; i < workspace.screens.length; ++i) {
            var output = workspace.screens[i];
            list.push({ frame: rect(output.geometry),
                        work: rect(workspace.clientArea(KWin.MaximizeArea, output, desktop)) });
            if (active && output.name === active.name)
                main = i;
        }
    } else {
        for (var s = 0; s < workspace.numScreens; ++s) {
            list.push({ frame: rect(workspace.clientArea(KWin.ScreenArea, s, desktop)),
                        work: rect(workspace.clientArea(KWin.MaximizeArea, s, desktop)) });
        }
        main = workspace.activeScreen;
    }
    return { screens: list, main: main };
}

function describe(w) {
    return { id: String(w.internalId), frame: rect(w.frameGeometry), pid: w.pid,
             client: w.clientGeometry ? rect(w.clientGeometry) : null,
             special: !!(w.desktopWindow || w.dock || w.specialWindow),
             fullScreen: !!w.fullScreen, resizeable: !!w.resizeable,
             minSize: [w.minSize.width, w.minSize.height], maxSize: [w.maxSize.width, w.maxSize.height] };
}

function findWindow(id) {
    var list = allWindows();
    for (var i = 0; i < list.length; ++i) {
        if (String(list[i].internalId) === id)
            return list[i];
    }
    return null;
}

function whole(value, low) {
    return typeof value === "number" && Number.isInteger(value) && value >= low && value <= limit;
}

function validFrame(f) {
    return Array.isArray(f) && f.length === 4 && whole(f[0], -limit) && whole(f[1], -limit)
        && whole(f[2], 1) && whole(f[3], 1);
}

function unwatch() {
    if (watched) {
        watched.window.frameGeometryChanged.disconnect(watched.handler);
        watched = null;
    }
}

// Reports every later change of the frame, so Ventrel can wait for the
// client to take its new size without polling.
function watch(w, id) {
    var handler = function () { send({ v: protocol, id: id, moved: rect(w.frameGeometry) }); };
    w.frameGeometryChanged.connect(handler);
    watched = { window: w, handler: handler };
}

function place(command) {
    var w = findWindow(command.window);
    if (!w)
        return { error: "gone" };
    if (w.fullScreen)
        return { error: "fullScreen" };
    if (w.maximizable)
        w.setMaximize(false, false);
    var f = command.frame;
    w.frameGeometry = { x: f[0], y: f[1], width: f[2], height: f[3] };
    watch(w, command.id);
    return { frame: rect(w.frameGeometry) };
}

function handle(command) {
    unwatch();
    if (command.op === "idle")
        return null;
    if (command.op === "look") {
        var w = activeWindow();
        var answer = screens();
        answer.window = w ? describe(w) : null;
        return answer;
    }
    if (command.op === "set" && typeof command.window === "string"
        && validFrame(command.frame))
        return place(command);
    return { error: "invalid" };
}

function next() {
    callDBus(bridge.service, bridge.path, bridgeInterface, "next", bridge.token, function (text) {
        var command = null;
        try {
            command = JSON.parse(text);
        } catch (e) {
            command = null;
        }
        if (command && command.v === protocol && whole(command.id, 0)) {
            var answer = handle(command);
            if (answer) {
                answer.v = protocol;
                answer.id = command.id;
                send(answer);
            }
        } else {
            send({ v: protocol, id: -1, error: "invalid" });
        }
        next();
    });
}

next();
