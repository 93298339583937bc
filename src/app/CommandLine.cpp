#include "app/CommandLine.h"

#include "app/TerminalText.h"
#include "stores/BindingLines.h"
#include "stores/PresetManager.h"
#include "stores/SnapPositionManager.h"
#include "window/WindowManager.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>

namespace {

constexpr int largestDimension = 32767;
const QChar multiplicationSign(0x00D7);

QString sizeText(qint64 width, qint64 height)
{
    return QString::number(width) + multiplicationSign + QString::number(height);
}

QString positionNames()
{
    QStringList names;
    for (const SnapPosition& position : SnapPosition::allCases())
        names << position.rawValue();
    return names.join(QStringLiteral(", "));
}

QString shownText(bool shown)
{
    return shown ? QStringLiteral("shown") : QStringLiteral("hidden");
}

// Whole pixels as integers, anything else (points on macOS) as it is.
QJsonValue number(double value)
{
    const double whole = std::round(value);
    if (whole == value && std::abs(whole) < 1e15)
        return QJsonValue(qint64(whole));
    return QJsonValue(value);
}

QString numberText(double value)
{
    return QString::number(value, 'g', 10);
}

QJsonObject frameJson(const QRectF& frame)
{
    return {{QStringLiteral("x"), number(frame.x())},
            {QStringLiteral("y"), number(frame.y())},
            {QStringLiteral("width"), number(frame.width())},
            {QStringLiteral("height"), number(frame.height())}};
}

// "1440×900 at 0,25"
QString frameText(const QRectF& frame)
{
    return numberText(frame.width()) + multiplicationSign + numberText(frame.height()) + QStringLiteral(" at ") +
           numberText(frame.x()) + u',' + numberText(frame.y());
}

QString errorName(WindowError error)
{
    switch (error) {
    case WindowError::noActiveWindow:
        return QStringLiteral("noActiveWindow");
    case WindowError::accessibilityNotGranted:
        return QStringLiteral("accessibilityNotGranted");
    case WindowError::resizeFailed:
        return QStringLiteral("resizeFailed");
    case WindowError::windowNotResizable:
        return QStringLiteral("windowNotResizable");
    case WindowError::snapFailed:
        return QStringLiteral("snapFailed");
    }
    return {};
}

} // namespace

CommandLine::CommandLine(WindowSystemSource windowSystem, DefaultsSource defaults, QTextStream& out, QTextStream& err,
                         DoctorSource doctor)
    : m_windowSystem(std::move(windowSystem)), m_defaults(std::move(defaults)), m_doctor(std::move(doctor)), m_out(out),
      m_err(err)
{
}

QString CommandLine::usage()
{
    return QStringLiteral(
               "Usage: ventrel [OPTIONS] [COMMAND]\n"
               "\n"
               "Ventrel resizes and moves the focused window to preset sizes and to screen\n"
               "halves or thirds. Without a command it starts in the system tray.\n"
               "\n"
               "Commands:\n"
               "  resize WIDTHxHEIGHT  resize the focused window, e.g. resize 1440x900; a size\n"
               "                       larger than the screen's usable area is reduced to it.\n"
               "                       Only the size is set: the window keeps its top-left\n"
               "                       corner, so a larger size may reach past the screen's edge\n"
               "  snap POSITION        move and resize the focused window to part of the screen:\n"
               "                       %1\n"
               "  apply NAME           resize the focused window to the preset called NAME\n"
               "                       (letter case does not matter)\n"
               "  list                 list the presets and snap positions, and whether the menu\n"
               "                       shows them\n"
               "  doctor               say which desktop and window backend Ventrel sees, and\n"
               "                       what is missing for it to work\n"
               "  shortcuts --print sway|i3\n"
               "                       print the bindsym lines that give the global shortcuts\n"
               "                       set in Settings to sway or i3 (add them to its config)\n"
               "\n"
               "On success, resize, snap and apply print the frame asked for and the frame the\n"
               "window took (a terminal may round to its character cells). On sway and i3 a\n"
               "tiled window is made floating first, so that it can take the size.\n"
               "\n"
               "Options:\n"
               "  --json               print the result as one JSON object\n"
               "  --screen main|window snap to (and clamp to) the main screen, or to the screen\n"
               "                       that holds the window; the default is the Settings choice\n"
               "  --help               show this help and exit\n"
               "  --version            show the version and exit\n"
               "  --                   end of options: what follows is the command and its\n"
               "                       arguments, even when it starts with a dash\n"
               "\n"
               "Environment:\n"
               "  VENTREL_BACKEND      force a window backend: sway, i3, kwin, gnome, x11, none\n"
               "\n"
               "Exit status: 0 on success, 1 when the window could not be changed (or, for\n"
               "doctor, when something is missing), 2 when the command line is wrong.\n")
        .arg(positionNames());
}

std::optional<QSize> CommandLine::parseSize(const QString& text)
{
    qsizetype separator = -1;
    for (const QChar sign : {QChar(u'x'), QChar(u'X'), multiplicationSign}) {
        if (const qsizetype at = text.indexOf(sign); at >= 0) {
            separator = at;
            break;
        }
    }
    if (separator < 0)
        return std::nullopt;
    const auto dimension = [](QStringView digits) -> std::optional<int> {
        // Only plain digits: no signs, spaces or exponents slip through toInt.
        if (digits.isEmpty() || digits.size() > 5 ||
            !std::ranges::all_of(digits, [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return std::nullopt;
        const int value = digits.toInt();
        if (value < 1 || value > largestDimension)
            return std::nullopt;
        return value;
    };
    const std::optional<int> width = dimension(QStringView(text).left(separator));
    const std::optional<int> height = dimension(QStringView(text).mid(separator + 1));
    if (!width || !height)
        return std::nullopt;
    return QSize(*width, *height);
}

int CommandLine::usageFailure(const QString& message)
{
    if (m_options.json) {
        printJson({{QStringLiteral("ok"), false},
                   {QStringLiteral("error"), QStringLiteral("usage")},
                   {QStringLiteral("message"), message}});
        return usageError;
    }
    m_err << "ventrel: " << message << "\n\n" << usage();
    m_err.flush();
    return usageError;
}

void CommandLine::printJson(const QJsonObject& object)
{
    m_out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    m_out.flush();
}

int CommandLine::run(const QStringList& arguments)
{
    // Options stand anywhere before "--"; after it, every word is the
    // command's, so a preset called "--help" can still be applied.
    m_options = {};
    bool help = false, version = false;
    std::optional<QString> badOption;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == QLatin1String("--")) {
            m_options.words += arguments.mid(i + 1);
            break;
        }
        if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            help = true;
        } else if (word == QLatin1String("--version")) {
            version = true;
        } else if (word == QLatin1String("--json")) {
            m_options.json = true;
        } else if (word == QLatin1String("--screen") || word.startsWith(QLatin1String("--screen="))) {
            const QString value = word.contains(u'=') ? word.section(u'=', 1) : arguments.value(++i);
            m_options.screen = screenChoiceFromName(value);
            if (!m_options.screen && !badOption)
                badOption = QStringLiteral("--screen takes main or window, not \"%1\"").arg(value);
        } else if (word == QLatin1String("--print") || word.startsWith(QLatin1String("--print="))) {
            m_options.print = word.contains(u'=') ? word.section(u'=', 1) : arguments.value(++i);
        } else if (word.startsWith(u'-') && word.size() > 1) {
            if (!badOption)
                badOption = QStringLiteral("unknown option \"%1\"").arg(word);
        } else {
            m_options.words << word;
        }
    }
    if (help) {
        m_out << usage();
        m_out.flush();
        return success;
    }
    if (version) {
        m_out << "ventrel " << VENTREL_VERSION << " (" << VENTREL_BUILD_NUMBER << ")\n";
        m_out.flush();
        return success;
    }
    if (badOption)
        return usageFailure(*badOption);
    if (m_options.words.isEmpty())
        return usageFailure(QStringLiteral("no command given"));

    const QString& command = m_options.words.first();
    const QStringList rest = m_options.words.mid(1);
    if (command == QLatin1String("resize"))
        return resize(rest);
    if (command == QLatin1String("snap"))
        return snap(rest);
    if (command == QLatin1String("apply"))
        return apply(rest);
    if (command == QLatin1String("list"))
        return list(rest);
    if (command == QLatin1String("doctor"))
        return doctor(rest);
    if (command == QLatin1String("shortcuts"))
        return shortcuts(rest);
    return usageFailure(QStringLiteral("unknown command \"%1\"").arg(command));
}

int CommandLine::act(QJsonObject action,
                     const std::function<std::expected<WindowManager::Change, WindowError>(WindowManager&)>& operation)
{
    // Without --screen the choice made in Settings holds.
    const ScreenChoice screen = m_options.screen ? *m_options.screen : SnapPositionManager(m_defaults()).screenChoice();
    WindowSystem& system = m_windowSystem();
    WindowManager manager(system, screen);
    action.insert(QStringLiteral("backend"), system.name());
    action.insert(QStringLiteral("screen"), screenChoiceName(screen));
    return report(std::move(action), operation(manager), manager);
}

int CommandLine::report(QJsonObject action, const std::expected<WindowManager::Change, WindowError>& result,
                        const WindowManager& manager)
{
    action.insert(QStringLiteral("ok"), result.has_value());
    if (result) {
        action.insert(QStringLiteral("requested"), frameJson(result->requested));
        action.insert(QStringLiteral("achieved"), frameJson(result->achieved));
    } else {
        action.insert(QStringLiteral("error"), errorName(result.error()));
        action.insert(QStringLiteral("message"), errorDescription(result.error()));
        if (const std::optional<PlatformError> detail = manager.lastPlatformError())
            action.insert(QStringLiteral("detail"), platformErrorText(*detail));
    }
    if (m_options.json) {
        printJson(action);
    } else if (result) {
        m_out << "requested " << frameText(result->requested) << ", got " << frameText(result->achieved) << '\n';
        m_out.flush();
    } else {
        m_err << errorDescription(result.error()) << '\n';
        m_err.flush();
    }
    return result ? success : actionFailed;
}

int CommandLine::resize(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return usageFailure(QStringLiteral("resize takes one size, such as 1440x900"));
    const std::optional<QSize> size = parseSize(arguments.first());
    if (!size)
        return usageFailure(QStringLiteral("\"%1\" is not a size: write WIDTHxHEIGHT with whole numbers from 1 to %2, "
                                           "such as 1440x900")
                                .arg(arguments.first())
                                .arg(largestDimension));
    const QJsonObject action{{QStringLiteral("command"), QStringLiteral("resize")},
                             {QStringLiteral("width"), size->width()},
                             {QStringLiteral("height"), size->height()}};
    return act(action, [&](WindowManager& m) { return m.resizeFocusedWindow(size->width(), size->height()); });
}

int CommandLine::snap(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return usageFailure(QStringLiteral("snap takes one position: %1").arg(positionNames()));
    const std::optional<SnapPosition> position = SnapPosition::fromRawValue(arguments.first());
    if (!position)
        return usageFailure(QStringLiteral("unknown snap position \"%1\": use one of %2")
                                .arg(arguments.first(), positionNames()));
    const QJsonObject action{{QStringLiteral("command"), QStringLiteral("snap")},
                             {QStringLiteral("position"), position->rawValue()}};
    return act(action, [&](WindowManager& m) { return m.snapFocusedWindow(*position); });
}

int CommandLine::apply(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return usageFailure(QStringLiteral("apply takes one preset name (quote a name with spaces)"));
    const std::optional<WindowPreset> found = PresetManager(m_defaults()).presetNamed(arguments.first());
    if (!found)
        return usageFailure(
            QStringLiteral("no preset is named \"%1\"; \"ventrel list\" shows them").arg(arguments.first()));
    const QJsonObject action{{QStringLiteral("command"), QStringLiteral("apply")},
                             {QStringLiteral("preset"), found->name},
                             {QStringLiteral("width"), found->width},
                             {QStringLiteral("height"), found->height}};
    const WindowPreset preset = *found;
    return act(action, [&](WindowManager& m) { return m.resizeFocusedWindow(double(preset.width), double(preset.height)); });
}

int CommandLine::shortcuts(const QStringList& arguments)
{
    const bool sway = m_options.print == QLatin1String("sway");
    if (!arguments.isEmpty() || (!sway && m_options.print != QLatin1String("i3")))
        return usageFailure(QStringLiteral("shortcuts takes --print sway or --print i3"));
    const std::shared_ptr<DefaultsDatabase> defaults = m_defaults();
    const QString program = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QStringLiteral("ventrel");
    const QStringList lines =
        BindingLines::lines(defaults->data(SettingsKeys::shortcuts).value_or(QByteArray()), PresetManager(defaults), program);
    m_out << "# Ventrel's global shortcuts, for " << (sway ? "~/.config/sway/config" : "~/.config/i3/config")
          << (lines.isEmpty() ? " (none is set in Settings)\n" : "\n");
    for (const QString& line : lines)
        m_out << line << '\n';
    m_out.flush();
    return success;
}

int CommandLine::list(const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return usageFailure(QStringLiteral("list takes no arguments"));
    const std::shared_ptr<DefaultsDatabase> defaults = m_defaults();
    const PresetManager presets(defaults);
    const SnapPositionManager positions(defaults);

    const QList<WindowPreset> ordered = presets.presetsInDisplayOrder();
    if (m_options.json) {
        QJsonArray presetArray, positionArray;
        for (const WindowPreset& p : std::as_const(ordered))
            presetArray.append(p.toJson());
        for (const auto& [position, isVisible] : positions.allPositionsWithVisibility()) {
            positionArray.append(QJsonObject{{QStringLiteral("position"), position.rawValue()},
                                             {QStringLiteral("title"), position.displayName()},
                                             {QStringLiteral("isVisible"), isVisible}});
        }
        printJson({{QStringLiteral("presets"), presetArray},
                   {QStringLiteral("snapPositions"), positionArray},
                   {QStringLiteral("screenChoice"), screenChoiceName(positions.screenChoice())}});
        return success;
    }
    // Names are the user's text, or whoever wrote the settings file: printed
    // made safe and bounded, so the table stays a table.
    QStringList names;
    qsizetype nameWidth = 0;
    for (const WindowPreset& p : std::as_const(ordered)) {
        names << TerminalText::safeName(p.name);
        nameWidth = std::max(nameWidth, names.back().size());
    }

    m_out << "Presets:\n";
    for (qsizetype i = 0; i < ordered.size(); ++i) {
        const WindowPreset& p = ordered.at(i);
        m_out << "  " << names.at(i).leftJustified(nameWidth) << "  " << sizeText(p.width, p.height).leftJustified(11)
              << "  " << shownText(p.isVisible) << '\n';
    }
    m_out << "Snap positions:\n";
    for (const auto& [position, isVisible] : positions.allPositionsWithVisibility()) {
        m_out << "  " << position.rawValue().leftJustified(12) << "  " << position.displayName().leftJustified(13)
              << "  " << shownText(isVisible) << '\n';
    }
    m_out.flush();
    return success;
}

int CommandLine::doctor(const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return usageFailure(QStringLiteral("doctor takes no arguments"));
    const auto [lines, missing] = m_doctor ? m_doctor() : std::pair<QStringList, bool>{};
    if (m_options.json) {
        printJson({{QStringLiteral("ok"), !missing}, {QStringLiteral("lines"), QJsonArray::fromStringList(lines)}});
    } else {
        for (const QString& line : lines)
            m_out << line << '\n';
        m_out.flush();
    }
    return missing ? actionFailed : success;
}
