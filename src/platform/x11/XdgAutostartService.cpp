#include "platform/x11/XdgAutostartService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString entryFileName = QStringLiteral(VENTREL_APP_ID ".desktop");
// The name entries had before the application id; see adoptFormerEntry().
const QString formerEntryFileName = QStringLiteral("ventrel.desktop");

// Characters that oblige an Exec argument to be quoted.
bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// Values of type string escape these, before (in reading: after) the Exec quoting.
QString escapeString(const QString& value)
{
    QString escaped;
    for (QChar c : value) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}

QString unescapeString(const QString& value)
{
    QString plain;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            plain += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            plain += u' ';
        else if (next == u'n')
            plain += u'\n';
        else if (next == u't')
            plain += u'\t';
        else if (next == u'r')
            plain += u'\r';
        else if (next == u'\\')
            plain += u'\\';
        else {
            plain += u'\\';
            plain += next;
        }
    }
    return plain;
}

// The keys of the [Desktop Entry] group, or nothing when the file has none.
std::optional<QHash<QString, QString>> readDesktopEntry(const QByteArray& contents)
{
    QHash<QString, QString> keys;
    bool inEntry = false;
    bool sawEntry = false;
    for (const QByteArray& rawLine : contents.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            sawEntry = sawEntry || inEntry;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntry || equals <= 0)
            continue;
        const QString key = line.first(equals).trimmed();
        if (!keys.contains(key))
            keys.insert(key, line.sliced(equals + 1).trimmed());
    }
    if (!sawEntry)
        return std::nullopt;
    return keys;
}

bool isSameProgram(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

} // namespace

XdgAutostartService::XdgAutostartService(QString configHome, QString program)
    : m_configHome(std::move(configHome)), m_program(std::move(program))
{
}

std::shared_ptr<XdgAutostartService> XdgAutostartService::forCurrentProcess()
{
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    const QString program = QDir::isAbsolutePath(appImage) ? appImage : QCoreApplication::applicationFilePath();
    auto service = std::make_shared<XdgAutostartService>(userConfigHome(), program);
    service->adoptFormerEntry();
    return service;
}

bool XdgAutostartService::adoptFormerEntry()
{
    const QString former = m_configHome + QStringLiteral("/autostart/") + formerEntryFileName;
    // rename() never replaces: an entry made under the new name stays as it is.
    return QFile::exists(former) && !QFileInfo::exists(entryPath()) && QFile::rename(former, entryPath());
}

QString XdgAutostartService::userConfigHome()
{
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configHome))
        return configHome;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString XdgAutostartService::entryPath() const
{
    return m_configHome + QStringLiteral("/autostart/") + entryFileName;
}

QString XdgAutostartService::execValue(const QString& program)
{
    QString argument = program;
    argument.replace(u'%', QStringLiteral("%%"));
    if (std::any_of(argument.cbegin(), argument.cend(), isReserved)) {
        QString quoted = QStringLiteral("\"");
        for (QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        argument = quoted + u'"';
    }
    return escapeString(argument);
}

std::optional<QString> XdgAutostartService::programFromExec(const QString& value)
{
    const QString line = unescapeString(value).trimmed();
    if (line.isEmpty())
        return std::nullopt;
    QString argument;
    if (line.front() == u'"') {
        qsizetype i = 1;
        for (; i < line.size() && line[i] != u'"'; ++i) {
            if (line[i] == u'\\' && i + 1 < line.size())
                ++i;
            argument += line[i];
        }
        if (i == line.size())
            return std::nullopt; // no closing quote
    } else {
        argument = line.first(std::find_if(line.cbegin(), line.cend(), [](QChar c) { return c.isSpace(); }) - line.cbegin());
    }
    argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return argument;
}

QByteArray XdgAutostartService::entryContents() const
{
    const QString contents = QStringLiteral(
                                 "[Desktop Entry]\n"
                                 "Type=Application\n"
                                 "Name=Ventrel\n"
                                 "Comment=Resize and move the focused window from the system tray\n"
                                 "Exec=%1\n"
                                 "Icon=" VENTREL_APP_ID "\n"
                                 "Terminal=false\n"
                                 "X-GNOME-Autostart-enabled=true\n"
                                 // Panels start the entry after their tray exists, so the icon finds a home.
                                 "X-KDE-autostart-after=panel\n"
                                 "X-LXQt-Need-Tray=true\n")
                                 .arg(execValue(m_program));
    return contents.toUtf8();
}

LoginItemService::Status XdgAutostartService::status() const
{
    QFile file(entryPath());
    if (!file.exists())
        return Status::notRegistered;
    if (!file.open(QIODevice::ReadOnly))
        return Status::notFound;
    const std::optional<QHash<QString, QString>> keys = readDesktopEntry(file.readAll());
    if (!keys)
        return Status::notFound;
    if (keys->value(QStringLiteral("Hidden")) == QLatin1String("true")
        || keys->value(QStringLiteral("X-GNOME-Autostart-enabled")) == QLatin1String("false"))
        return Status::requiresApproval;
    const std::optional<QString> program = programFromExec(keys->value(QStringLiteral("Exec")));
    if (!program || !isSameProgram(*program, m_program))
        return Status::notRegistered;
    return Status::enabled;
}

std::expected<void, QString> XdgAutostartService::registerService()
{
    const QString folder = QFileInfo(entryPath()).path();
    if (!QDir().mkpath(folder))
        return std::unexpected(QStringLiteral("Could not create the folder %1.").arg(folder));
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly))
        return std::unexpected(QStringLiteral("Could not write %1: %2").arg(entryPath(), file.errorString()));
    file.write(entryContents());
    if (!file.commit())
        return std::unexpected(QStringLiteral("Could not write %1: %2").arg(entryPath(), file.errorString()));
    return {};
}

std::expected<void, QString> XdgAutostartService::unregisterService()
{
    const QFileInfo entry(entryPath());
    if (!entry.exists() && !entry.isSymLink())
        return {};
    QFile file(entryPath());
    if (!file.remove())
        return std::unexpected(QStringLiteral("Could not remove %1: %2").arg(entryPath(), file.errorString()));
    return {};
}

std::shared_ptr<LoginItemService> LoginItemService::create()
{
    return XdgAutostartService::forCurrentProcess();
}
