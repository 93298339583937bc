#include "platform/x11/XdgAutostartService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <algorithm>

namespace {

const QString entryFileName = QStringLiteral(VENTREL_APP_ID ".desktop");
// The name entries had before the application id; see adoptFormerEntry().
const QString formerEntryFileName = QStringLiteral("ventrel.desktop");

// Characters that oblige an Exec argument to be quoted; white space of any
// kind, since a reader splits arguments at each (a carriage return too).
bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral("\"'\\><~|&;$*?#()`");
    return c.isSpace() || reserved.contains(c);
}

QString quotedArgument(QString argument)
{
    argument.replace(u'%', QStringLiteral("%%"));
    if (std::none_of(argument.cbegin(), argument.cend(), isReserved))
        return argument;
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// GLib looks the program up before it expands "%%", so a program whose path
// has a "%" cannot be named first: the shell starts it, taking the path as
// an argument, where "%%" is expanded as usual.
const QStringList percentLauncher = {QStringLiteral("/bin/sh"), QStringLiteral("-c"), QStringLiteral("exec \"$0\"")};

// The arguments of an Exec line as the desktop entry rules split them, or
// nothing when a quote is not closed.
std::optional<QStringList> execArguments(const QString& line)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"') {
            inArgument = true;
            for (++i; i < line.size() && line[i] != u'"'; ++i) {
                if (line[i] == u'\\' && i + 1 < line.size())
                    ++i;
                current += line[i];
            }
            if (i == line.size())
                return std::nullopt;
        } else if (c.isSpace()) {
            if (inArgument)
                arguments << std::exchange(current, QString());
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return arguments;
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
    QStringList arguments;
    if (program.contains(u'%')) {
        for (const QString& word : percentLauncher)
            arguments << quotedArgument(word);
    }
    arguments << quotedArgument(program);
    return escapeString(arguments.join(u' '));
}

std::optional<QString> XdgAutostartService::programFromExec(const QString& value)
{
    const std::optional<QStringList> arguments = execArguments(unescapeString(value));
    if (!arguments || arguments->isEmpty())
        return std::nullopt;
    if (arguments->size() == percentLauncher.size() + 1 && arguments->first(percentLauncher.size()) == percentLauncher)
        return arguments->back();
    return arguments->front();
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
    // Written beside the entry and renamed over it: rename(2) replaces a link
    // planted at the entry's path rather than writing to where it points,
    // which QSaveFile would do.
    QTemporaryFile file(folder + QStringLiteral("/.ventrel.desktop-XXXXXX"));
    const auto failed = [&] {
        return std::unexpected(QStringLiteral("Could not write %1: %2").arg(entryPath(), file.errorString()));
    };
    if (!file.open())
        return failed();
    const QByteArray contents = entryContents();
    if (file.write(contents) != contents.size() || !file.flush()
        || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther))
        return failed();
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(entryPath()).constData()) != 0)
        return std::unexpected(QStringLiteral("Could not write %1: %2")
                                   .arg(entryPath(), QString::fromLocal8Bit(std::strerror(errno))));
    file.setAutoRemove(false);
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
