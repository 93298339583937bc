#pragma once

// What the GNOME Shell tests read and start, with means of their own: the
// Shell through Eval (with-gnome.sh runs it in --unsafe-mode), Xwayland
// windows through xwininfo and xprop, and a Wayland client's own account of
// its size from its protocol log. Every wait polls with a bound.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <vector>

namespace GnomeShellProbe {

// The value of a JavaScript expression in the Shell, JSON-encoded as Eval
// gives it; a null QString on failure.
inline QString eval(const QString& js)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
                                                       QStringLiteral("org.gnome.Shell"), QStringLiteral("Eval"));
    call.setArguments({js});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || !reply.arguments().value(0).toBool())
        return {};
    return reply.arguments().value(1).toString();
}

template <typename Condition> bool waitFor(Condition condition, int ms = 5000)
{
    const QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

inline QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

inline int match(const QString& text, const QString& pattern)
{
    return QRegularExpression(pattern, QRegularExpression::MultilineOption).match(text).captured(1).toInt();
}

// The outer frame of an Xwayland window as the X server has it: the client
// window widened by the _NET_FRAME_EXTENTS Mutter sets.
inline QRect xFrame(const QString& title)
{
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-name"), title});
    const QString id = QRegularExpression(QStringLiteral("Window id: (0x[0-9a-f]+)")).match(info).captured(1);
    const QString extents = run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    const QRegularExpressionMatch e =
        QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(extents);
    const int left = e.captured(1).toInt(), right = e.captured(2).toInt(), top = e.captured(3).toInt(),
              bottom = e.captured(4).toInt();
    return {match(info, QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")) - left,
            match(info, QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")) - top,
            match(info, QStringLiteral("^\\s+Width: (\\d+)")) + left + right,
            match(info, QStringLiteral("^\\s+Height: (\\d+)")) + top + bottom};
}

// A client started for a test; killed with it.
class Client {
public:
    // Starts program and waits until the Shell focuses a window titled title.
    // WAYLAND_DEBUG=1 makes a Wayland client log what it tells the Shell.
    Client(const QString& title, const QString& program, const QStringList& arguments) : m_title(title)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("1"));
        m_process.setProcessEnvironment(environment);
        m_process.setStandardErrorFile(m_log.filePath(QStringLiteral("log")));
        m_process.start(program, arguments);
        started = waitFor([this] { return focused(); }, 10000);
    }
    ~Client()
    {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool focused() const
    {
        return eval(QStringLiteral("global.display.focus_window?.get_title()")) == QStringLiteral("\"%1\"").arg(m_title);
    }
    // The size the Wayland client last declared for its window (its
    // xdg_surface window geometry), from its own protocol log.
    QSize declaredSize() const
    {
        QFile file(m_log.filePath(QStringLiteral("log")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QString log = QString::fromLocal8Bit(file.readAll());
        static const QRegularExpression geometry(QStringLiteral("set_window_geometry\\(-?\\d+, -?\\d+, (\\d+), (\\d+)\\)"));
        QSize size;
        for (const QRegularExpressionMatch& m : geometry.globalMatch(log))
            size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        return size;
    }
    // Gives the window the focus again (another client may have taken it).
    bool focus() const
    {
        eval(QStringLiteral("global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() === '%1')"
                            "?.activate(global.get_current_time())")
                 .arg(m_title));
        return waitFor([this] { return focused(); });
    }
    bool started = false;

private:
    QString m_title;
    QTemporaryDir m_log;
    QProcess m_process;
};

} // namespace GnomeShellProbe
