#pragma once

#include <QDBusConnection>
#include <QString>

// Ventrel's own GNOME Shell extension, which does the window work inside the
// Shell: whether it is there and answering, in words a user can act on, and
// enabling it through the Shell's own org.gnome.Shell.Extensions interface
// (never by writing the settings database behind the user's back).
class GnomeShellExtension {
public:
    static constexpr auto uuid = "ventrel@ventrel.app";

    enum class Status {
        ready,        // enabled and answering
        noShell,      // org.gnome.Shell is not on the session bus
        notInstalled, // neither the Shell nor the data folders know it
        notLoaded,    // installed after the Shell started: loads at the next login
        disabled,     // known to the Shell but switched off
        failed,       // the Shell could not run it (an error, or not for this version)
        mismatch,     // running, but an interface version this Ventrel does not speak
    };

    // Asks the Shell (a few round trips; for start-up and `ventrel doctor`).
    static Status probe(const QDBusConnection& bus);

    // One sentence saying what is wrong and what to do; empty when ready.
    static QString explanation(Status status);

    // Asks the Shell to enable the extension. True when the Shell accepted;
    // otherwise error (if given) says why. The Shell enables only what it
    // has loaded, so a copy installed since login needs a new login first.
    static bool enable(const QDBusConnection& bus, QString* error = nullptr);

    // Whether a copy lies in a data folder GNOME reads extensions from.
    static bool installedOnDisk();
};
