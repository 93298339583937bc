#pragma once

#include "window/PlatformError.h"

#include <QDBusMessage>
#include <QRect>
#include <QString>

#include <expected>
#include <optional>

class QDBusArgument;

// The D-Bus interface of Ventrel's GNOME Shell extension (see
// extension/body.js): its names, and the reading of its replies. Replies come
// from another process: every value is checked and clamped before any
// arithmetic is done with it.
struct GnomeShellProtocol {
    static constexpr auto service = "org.gnome.Shell";
    static constexpr auto path = "/app/ventrel/WindowControl";
    static constexpr auto interface = "app.ventrel.WindowControl1";
    static constexpr unsigned version = 1;
    // The largest coordinate either side accepts (X11's 16-bit geometry).
    static constexpr int limit = 32767;

    // Reads a (iiii) frame; nothing when it is malformed or has no area.
    static std::optional<QRect> frame(const QDBusArgument& argument);

    // The PlatformError for a failed call: the extension's own errors by
    // name, a missing reply as timedOut, everything else as unreachable.
    static PlatformError error(const QDBusMessage& reply);

    static QDBusMessage call(const QString& method);
};
