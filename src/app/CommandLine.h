#pragma once

#include "model/SnapPosition.h"
#include "stores/DefaultsDatabase.h"
#include "window/WindowSystem.h"

#include <QSize>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

// The `ventrel` command line: resize or snap the focused window, apply a
// preset by name, list presets and snap positions. It runs without a GUI
// application object so that a keyboard shortcut bound to it acts at once.
class CommandLine {
public:
    enum ExitStatus { success = 0, actionFailed = 1, usageError = 2 };

    // Both are asked for only when a command needs them, so --help and list
    // never open a display and resize never reads the settings.
    using WindowSystemSource = std::function<WindowSystem&()>;
    using DefaultsSource = std::function<std::shared_ptr<DefaultsDatabase>()>;

    CommandLine(WindowSystemSource windowSystem, DefaultsSource defaults, QTextStream& out, QTextStream& err);

    // arguments excludes the program name. Returns the process exit status.
    int run(const QStringList& arguments);

    // "1440x900", "1440X900" or "1440×900"; whole numbers from 1 to 32767.
    static std::optional<QSize> parseSize(const QString& text);

    static QString usage();

private:
    int resize(const QStringList& arguments);
    int snap(const QStringList& arguments);
    int apply(const QStringList& arguments);
    int list(const QStringList& arguments);
    int usageFailure(const QString& message);

    WindowSystemSource m_windowSystem;
    DefaultsSource m_defaults;
    QTextStream& m_out;
    QTextStream& m_err;
};
