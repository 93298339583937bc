#pragma once

#include "model/SnapPosition.h"
#include "stores/DefaultsDatabase.h"
#include "window/ScreenChoice.h"
#include "window/WindowManager.h"
#include "window/WindowSystem.h"

#include <QJsonObject>
#include <QSize>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

// The `ventrel` command line: resize or snap the focused window, apply a
// preset by name, list presets and snap positions, diagnose the session. It
// runs without a GUI application object so that a keyboard shortcut bound to
// it acts at once.
class CommandLine {
public:
    enum ExitStatus { success = 0, actionFailed = 1, usageError = 2 };

    // Each is asked for only when a command needs it, so --help and list
    // never open a display.
    using WindowSystemSource = std::function<WindowSystem&()>;
    using DefaultsSource = std::function<std::shared_ptr<DefaultsDatabase>()>;
    // The `doctor` report: its lines, and whether anything is missing.
    using DoctorSource = std::function<std::pair<QStringList, bool>()>;

    CommandLine(WindowSystemSource windowSystem, DefaultsSource defaults, QTextStream& out, QTextStream& err,
                DoctorSource doctor = {});

    // arguments excludes the program name. Returns the process exit status.
    int run(const QStringList& arguments);

    // "1440x900", "1440X900" or "1440×900"; whole numbers from 1 to 32767.
    static std::optional<QSize> parseSize(const QString& text);

    static QString usage();

private:
    struct Options {
        bool json = false;
        std::optional<ScreenChoice> screen;
        QString print; // --print: the window manager to print shortcut bindings for
        QStringList words; // the command and its arguments
    };

    int resize(const QStringList& arguments);
    int snap(const QStringList& arguments);
    int apply(const QStringList& arguments);
    int list(const QStringList& arguments);
    int doctor(const QStringList& arguments);
    int shortcuts(const QStringList& arguments);
    int usageFailure(const QString& message);
    int report(QJsonObject action, const std::expected<WindowManager::Change, WindowError>& result,
               const WindowManager& manager);
    int act(QJsonObject action, const std::function<std::expected<WindowManager::Change, WindowError>(WindowManager&)>& operation);
    void printJson(const QJsonObject& object);

    WindowSystemSource m_windowSystem;
    DefaultsSource m_defaults;
    DoctorSource m_doctor;
    QTextStream& m_out;
    QTextStream& m_err;
    Options m_options;
};
