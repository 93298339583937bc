#include "app/CommandLine.h"

#include "app/TerminalText.h"
#include "stores/PresetManager.h"
#include "stores/SnapPositionManager.h"
#include "window/WindowManager.h"

#include <algorithm>

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

// The preset store's own rule for when two names are the same: letter case
// and Unicode composition do not count, nor does white space around the name
// typed (stored names are taken as stored).
QString comparableName(const QString& name)
{
    return name.toLower().normalized(QString::NormalizationForm_D);
}

QString shownText(bool shown)
{
    return shown ? QStringLiteral("shown") : QStringLiteral("hidden");
}

} // namespace

CommandLine::CommandLine(WindowSystemSource windowSystem, DefaultsSource defaults, QTextStream& out, QTextStream& err)
    : m_windowSystem(std::move(windowSystem)), m_defaults(std::move(defaults)), m_out(out), m_err(err)
{
}

QString CommandLine::usage()
{
    return QStringLiteral(
               "Usage: ventrel [COMMAND]\n"
               "\n"
               "Ventrel resizes and moves the focused window to preset sizes and to screen\n"
               "halves or thirds. Without a command it starts in the system tray.\n"
               "\n"
               "Commands:\n"
               "  resize WIDTHxHEIGHT  resize the focused window, e.g. resize 1440x900;\n"
               "                       a size larger than the screen's usable area is reduced to it\n"
               "  snap POSITION        move and resize the focused window to part of the screen:\n"
               "                       %1\n"
               "  apply NAME           resize the focused window to the preset called NAME\n"
               "                       (letter case does not matter)\n"
               "  list                 list the presets and snap positions, and whether the menu\n"
               "                       shows them\n"
               "\n"
               "Options:\n"
               "  --help               show this help and exit\n"
               "  --version            show the version and exit\n"
               "\n"
               "Exit status: 0 on success, 1 when the window could not be changed,\n"
               "2 when the command line is wrong.\n")
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
    m_err << "ventrel: " << message << "\n\n" << usage();
    m_err.flush();
    return usageError;
}

int CommandLine::run(const QStringList& arguments)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        m_out << usage();
        m_out.flush();
        return success;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        m_out << "ventrel " << VENTREL_VERSION << " (" << VENTREL_BUILD_NUMBER << ")\n";
        m_out.flush();
        return success;
    }
    if (arguments.isEmpty())
        return usageFailure(QStringLiteral("no command given"));

    const QString& command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("resize"))
        return resize(rest);
    if (command == QLatin1String("snap"))
        return snap(rest);
    if (command == QLatin1String("apply"))
        return apply(rest);
    if (command == QLatin1String("list"))
        return list(rest);
    return usageFailure(QStringLiteral("unknown command \"%1\"").arg(command));
}

namespace {

int report(const std::expected<void, WindowError>& result, QTextStream& err)
{
    if (result)
        return CommandLine::success;
    err << errorDescription(result.error()) << '\n';
    err.flush();
    return CommandLine::actionFailed;
}

} // namespace

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
    WindowManager manager(m_windowSystem());
    return report(manager.resizeFocusedWindow(size->width(), size->height()), m_err);
}

int CommandLine::snap(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return usageFailure(QStringLiteral("snap takes one position: %1").arg(positionNames()));
    const std::optional<SnapPosition> position = SnapPosition::fromRawValue(arguments.first());
    if (!position)
        return usageFailure(QStringLiteral("unknown snap position \"%1\": use one of %2")
                                .arg(arguments.first(), positionNames()));
    WindowManager manager(m_windowSystem());
    return report(manager.snapFocusedWindow(*position), m_err);
}

int CommandLine::apply(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return usageFailure(QStringLiteral("apply takes one preset name (quote a name with spaces)"));
    const QString wanted = comparableName(arguments.first().trimmed());
    const PresetManager presets(m_defaults());
    // Names are unique when added, but stored custom presets are loaded
    // unchecked: the first in display order wins, as it would in the menu.
    QList<WindowPreset> ordered = presets.presets();
    std::ranges::stable_sort(ordered, {}, &WindowPreset::sortOrder);
    const auto found = std::ranges::find_if(ordered, [&](const WindowPreset& p) { return comparableName(p.name) == wanted; });
    if (found == ordered.end())
        return usageFailure(
            QStringLiteral("no preset is named \"%1\"; \"ventrel list\" shows them").arg(arguments.first()));
    WindowManager manager(m_windowSystem());
    return report(manager.resizeFocusedWindow(double(found->width), double(found->height)), m_err);
}

int CommandLine::list(const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return usageFailure(QStringLiteral("list takes no arguments"));
    const std::shared_ptr<DefaultsDatabase> defaults = m_defaults();
    const PresetManager presets(defaults);
    const SnapPositionManager positions(defaults);

    QList<WindowPreset> ordered = presets.presets();
    std::ranges::stable_sort(ordered, {}, &WindowPreset::sortOrder);
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
