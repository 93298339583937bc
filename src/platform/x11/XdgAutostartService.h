#pragma once

#include "stores/LoginItemService.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// Launch at login on freedesktop.org desktops: an autostart entry,
// $XDG_CONFIG_HOME/autostart/<application id>.desktop, whose Exec starts this
// program. The file is the registration, so the state is read from it each
// time and never kept in memory.
class XdgAutostartService : public LoginItemService {
public:
    // configHome stands for $XDG_CONFIG_HOME; program is the absolute path
    // the entry starts.
    XdgAutostartService(QString configHome, QString program);

    // For the running program: the AppImage it came from when there is one
    // (the binary itself lives in a mount that is gone after logout), else
    // its own binary. Adopts an entry under the former name first.
    static std::shared_ptr<XdgAutostartService> forCurrentProcess();
    // Earlier versions named the entry ventrel.desktop. Renames such an entry
    // to the current name, unless an entry already has that name, so that a
    // launch at login switched on then is still shown and still switchable.
    // True when it moved one.
    bool adoptFormerEntry();
    // $XDG_CONFIG_HOME when it is set to an absolute path, else ~/.config.
    static QString userConfigHome();

    QString entryPath() const;
    // The entry register writes.
    QByteArray entryContents() const;

    // Enabled when the entry exists, starts this program and is not switched
    // off (Hidden, or GNOME's own switch); switched off reads as
    // requiresApproval, an entry for another program as notRegistered, an
    // unreadable one as notFound.
    Status status() const override;
    std::expected<void, QString> registerService() override;
    // A missing entry is already unregistered.
    std::expected<void, QString> unregisterService() override;

    // The Exec value, as written after "Exec=", that starts program with no
    // arguments, quoted and escaped as desktop entries require; a path with a
    // "%" is started through /bin/sh, which GLib-based sessions need.
    static QString execValue(const QString& program);
    // The program an Exec value starts (its first argument, unescaped, or
    // the path given to the /bin/sh launcher above), if any.
    static std::optional<QString> programFromExec(const QString& value);

private:
    QString m_configHome;
    QString m_program;
};
