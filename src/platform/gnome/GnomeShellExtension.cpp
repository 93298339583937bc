#include "platform/gnome/GnomeShellExtension.h"

#include "platform/gnome/GnomeShellProtocol.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QStandardPaths>
#include <QVariantMap>

namespace {

// The Shell answers in about a millisecond; a Shell busy with an animation
// on a loaded machine was seen to take over one second. A slow answer is
// still an answer, and a wrong "missing" would send the user astray.
constexpr int timeoutMs = 5000;

QDBusMessage extensionsCall(const QString& method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("/org/gnome/Shell/Extensions"),
        QStringLiteral("org.gnome.Shell.Extensions"), method);
    call.setArguments({QString::fromLatin1(GnomeShellExtension::uuid)});
    return call;
}

// The Shell's ExtensionState values (js/misc/extensionUtils.js).
GnomeShellExtension::Status fromShellState(int state)
{
    using Status = GnomeShellExtension::Status;
    switch (state) {
    case 2: // DISABLED (INACTIVE since GNOME 46)
    case 6: // INITIALIZED: loaded, never enabled
    case 7: // DISABLING
        return Status::disabled;
    case 99: // UNINSTALLED
        return Status::notInstalled;
    default: // ENABLED or ENABLING yet not answering, ERROR, OUT_OF_DATE
        return Status::failed;
    }
}

} // namespace

GnomeShellExtension::Status GnomeShellExtension::probe(const QDBusConnection& bus)
{
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(QLatin1String(GnomeShellProtocol::service)).value())
        return Status::noShell;

    QDBusMessage get = QDBusMessage::createMethodCall(
        QLatin1String(GnomeShellProtocol::service), QLatin1String(GnomeShellProtocol::path),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({QLatin1String(GnomeShellProtocol::interface), QStringLiteral("Version")});
    const QDBusMessage version = bus.call(get, QDBus::Block, timeoutMs);
    if (version.type() == QDBusMessage::ReplyMessage && version.arguments().size() == 1) {
        const QVariant value = version.arguments().at(0).value<QDBusVariant>().variant();
        return value.metaType() == QMetaType::fromType<uint>() && value.toUInt() == GnomeShellProtocol::version
                   ? Status::ready
                   : Status::mismatch;
    }

    const QDBusReply<QVariantMap> info = bus.call(extensionsCall(QStringLiteral("GetExtensionInfo")), QDBus::Block,
                                                  timeoutMs);
    if (!info.isValid() || info.value().isEmpty())
        return installedOnDisk() ? Status::notLoaded : Status::notInstalled;
    return fromShellState(info.value().value(QStringLiteral("state")).toInt());
}

QString GnomeShellExtension::explanation(Status status)
{
    switch (status) {
    case Status::ready:
        return {};
    case Status::noShell:
        return QStringLiteral("GNOME Shell is not running in this session.");
    case Status::notInstalled:
        return QStringLiteral(
            "Ventrel's GNOME Shell extension (ventrel@ventrel.app) is not installed. Install Ventrel's package, "
            "then log out and back in: GNOME loads a newly installed extension only at the next login.");
    case Status::notLoaded:
        return QStringLiteral(
            "Ventrel's GNOME Shell extension is installed, but GNOME loads a newly installed extension only at the "
            "next login. Log out and back in, then enable it.");
    case Status::disabled:
        return QStringLiteral(
            "Ventrel's GNOME Shell extension is turned off, so Ventrel cannot move windows. Choose \"Enable GNOME "
            "Extension\" in Ventrel's menu or Settings, or turn on \"Ventrel\" in GNOME's Extensions app.");
    case Status::failed:
        return QStringLiteral(
            "GNOME Shell could not run Ventrel's extension: it reported an error or does not support this GNOME "
            "version. The Extensions app shows the details.");
    case Status::mismatch:
        return QStringLiteral(
            "The running GNOME Shell extension belongs to another version of Ventrel. Log out and back in to load "
            "the installed one.");
    }
    return {};
}

bool GnomeShellExtension::enable(const QDBusConnection& bus, QString* error)
{
    const QDBusReply<bool> reply = bus.call(extensionsCall(QStringLiteral("EnableExtension")), QDBus::Block, timeoutMs);
    if (reply.isValid() && reply.value())
        return true;
    if (error) {
        *error = reply.isValid() ? explanation(installedOnDisk() ? Status::notLoaded : Status::notInstalled)
                                 : QStringLiteral("GNOME Shell did not enable the extension: %1")
                                       .arg(reply.error().message());
    }
    return false;
}

bool GnomeShellExtension::installedOnDisk()
{
    return !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                   QStringLiteral("gnome-shell/extensions/%1/metadata.json")
                                       .arg(QLatin1String(uuid)))
                .isEmpty();
}
