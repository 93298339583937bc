#include "platform/kwin/KWinWindowSystem.h"

#include "platform/kwin/KWinAnswer.h"
#include "platform/kwin/KWinWindow.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QEventLoop>
#include <QJsonArray>
#include <QTimer>

namespace {

const QString kwinService = QStringLiteral("org.kde.KWin");
const QString idKey = QStringLiteral("id");
const QString errorKey = QStringLiteral("error");

PlatformError scriptError(const QString& error)
{
    if (error == QStringLiteral("gone"))
        return PlatformError::windowGone;
    if (error == QStringLiteral("fullScreen"))
        return PlatformError::refused;
    return PlatformError::unreachable;
}

QString kwinOwner(const QDBusConnection& connection)
{
    if (!connection.isConnected() || !connection.interface())
        return {};
    const QDBusReply<QString> owner = connection.interface()->serviceOwner(kwinService);
    return owner.isValid() ? owner.value() : QString();
}

} // namespace

std::unique_ptr<KWinWindowSystem> KWinWindowSystem::connect(QDBusConnection connection, QString folder)
{
    if (kwinOwner(connection).isEmpty())
        return nullptr;
    std::unique_ptr<KWinWindowSystem> system(new KWinWindowSystem(connection, std::move(folder)));
    if (!system->m_bridge.exported())
        return nullptr;
    KWinScript::removeStale(connection, system->m_script.folder());
    return system;
}

KWinWindowSystem::KWinWindowSystem(QDBusConnection connection, QString folder)
    : m_connection(connection), m_bridge(connection), m_script(connection, std::move(folder))
{
}

KWinWindowSystem::~KWinWindowSystem() = default;

QString KWinWindowSystem::name() const
{
    return QStringLiteral("kwin");
}

bool KWinWindowSystem::isProcessTrusted(bool)
{
    return true;
}

std::expected<void, PlatformError> KWinWindowSystem::prepare()
{
    if (m_script.loaded())
        return {};
    const QString token = QStringLiteral("%1.%2").arg(QCoreApplication::applicationPid()).arg(++m_loads);
    const QString owner = kwinOwner(m_connection);
    if (owner.isEmpty())
        return std::unexpected(PlatformError::unreachable);
    m_bridge.reset(token, owner);
    return m_script.load(m_connection.baseService(), m_bridge.path(), token);
}

void KWinWindowSystem::unload()
{
    m_script.unload();
    m_bridge.reset({}, {});
}

std::optional<QJsonObject> KWinWindowSystem::await(int id, std::chrono::milliseconds timeout,
                                                   const std::function<bool(const QJsonObject&)>& accept)
{
    std::optional<QJsonObject> taken;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto connection = QObject::connect(&m_bridge, &KWinBridge::answered, &loop, [&](const QJsonObject& message) {
        if (KWinAnswer::whole(message.value(idKey), 1e9) == id && accept(message)) {
            taken = message;
            loop.quit();
        }
    });
    deadline.start(timeout);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(connection);
    return taken;
}

std::expected<QJsonObject, PlatformError> KWinWindowSystem::request(QJsonObject command)
{
    if (auto loaded = prepare(); !loaded)
        return std::unexpected(loaded.error());
    const int id = ++m_lastId;
    command.insert(idKey, id);
    const auto any = [](const QJsonObject& message) { return !message.contains(QStringLiteral("moved")); };
    m_bridge.send(command);
    std::optional<QJsonObject> answer = await(id, answerTimeout, any);
    if (!answer) {
        // The script stopped asking (KWin restarted, or a call of its timed
        // out while we were blocked): load it afresh once.
        unload();
        if (auto loaded = prepare(); !loaded)
            return std::unexpected(loaded.error());
        m_bridge.send(command);
        answer = await(id, answerTimeout, any);
        if (!answer)
            return std::unexpected(PlatformError::timedOut);
    }
    if (answer->contains(errorKey))
        return std::unexpected(scriptError(answer->value(errorKey).toString()));
    return *answer;
}

std::expected<KWinWindowSystem::Look, PlatformError> KWinWindowSystem::look()
{
    auto answer = request(QJsonObject{{QStringLiteral("op"), QStringLiteral("look")}});
    if (!answer)
        return std::unexpected(answer.error());
    Look look;
    const QJsonArray screens = answer->value(QStringLiteral("screens")).toArray();
    if (screens.size() > 64)
        return std::unexpected(PlatformError::unreachable);
    for (const QJsonValue& value : screens) {
        const auto frame = KWinAnswer::frame(value[QStringLiteral("frame")]);
        const auto work = KWinAnswer::frame(value[QStringLiteral("work")]);
        if (!frame || !work)
            return std::unexpected(PlatformError::unreachable);
        look.screens.all.push_back({QRectF(*frame), QRectF(*work)});
    }
    if (const auto main = KWinAnswer::whole(answer->value(QStringLiteral("main")), 64);
        main && *main < qint64(look.screens.all.size()))
        look.screens.main = size_t(*main);
    if (const QJsonValue window = answer->value(QStringLiteral("window")); window.isObject())
        look.window = window.toObject();
    return look;
}

std::expected<std::unique_ptr<Window>, PlatformError> KWinWindowSystem::focusedWindow()
{
    std::optional<Look> current = std::exchange(m_windowLook, std::nullopt);
    if (!current) {
        auto fresh = look();
        if (!fresh)
            return std::unexpected(fresh.error());
        current = std::move(*fresh);
        m_screensLook = current->screens;
    }
    if (!current->window)
        return std::unexpected(PlatformError::noFrontmostApplication);
    const QJsonObject& window = *current->window;
    const auto frame = KWinAnswer::frame(window.value(QStringLiteral("frame")));
    auto minSize = KWinAnswer::size(window.value(QStringLiteral("minSize")));
    auto maxSize = KWinAnswer::size(window.value(QStringLiteral("maxSize")));
    // The limits are the client's; the frame adds the decoration around it.
    const auto client = KWinAnswer::frame(window.value(QStringLiteral("client")));
    if (frame && client && minSize && maxSize && client->width() <= frame->width()
        && client->height() <= frame->height()) {
        const QSize decoration = frame->size() - client->size();
        minSize = *minSize + decoration;
        if (maxSize->width() < KWinAnswer::limit && maxSize->height() < KWinAnswer::limit)
            maxSize = *maxSize + decoration;
    }
    // KWin forces any frame on an X11 window, whatever its size hints say;
    // a window it calls not resizeable must keep its size.
    if (frame && !window.value(QStringLiteral("resizeable")).toBool(true))
        minSize = maxSize = frame->size();
    const QString id = window.value(QStringLiteral("id")).toString();
    if (!frame || !minSize || !maxSize || id.isEmpty() || id.size() > 64)
        return std::unexpected(PlatformError::unreachable);
    const auto pid = KWinAnswer::whole(window.value(QStringLiteral("pid")), 1e9);
    if (window.value(QStringLiteral("special")).toBool() || (pid && *pid == QCoreApplication::applicationPid()))
        return std::unexpected(PlatformError::noFocusedWindow);
    return std::make_unique<KWinWindow>(*this, id, *frame, *minSize, *maxSize,
                                        window.value(QStringLiteral("fullScreen")).toBool());
}

WindowSystem::Screens KWinWindowSystem::screens()
{
    if (auto screens = std::exchange(m_screensLook, std::nullopt))
        return *screens;
    auto fresh = look();
    if (!fresh)
        return {};
    m_windowLook = *fresh;
    return fresh->screens;
}

std::expected<QRect, PlatformError> KWinWindowSystem::place(const QString& window, const QRect& frame,
                                                            const QRect& expected, bool sizeOnly)
{
    m_windowLook.reset();
    m_screensLook.reset();
    const QJsonObject command{{QStringLiteral("op"), QStringLiteral("set")},
                              {QStringLiteral("window"), window},
                              {QStringLiteral("frame"), QJsonArray{frame.x(), frame.y(), frame.width(), frame.height()}}};
    auto answer = request(command);
    if (!answer)
        return std::unexpected(answer.error());
    std::optional<QRect> reached = KWinAnswer::frame(answer->value(QStringLiteral("frame")));
    if (!reached)
        return std::unexpected(PlatformError::unreachable);
    const auto settled = [&](const QRect& now) { return sizeOnly ? now.size() == expected.size() : now == expected; };
    if (settled(*reached))
        return *reached;
    // A Wayland client takes its new size a frame or more later; the script
    // reports each change of the frame until the next command.
    const auto settle = [&] {
        bool changed = false;
        await(m_lastId, settleTimeout, [&](const QJsonObject& message) {
            const auto moved = KWinAnswer::frame(message.value(QStringLiteral("moved")));
            if (moved) {
                reached = moved;
                changed = true;
            }
            return moved && settled(*moved);
        });
        return changed;
    };
    // A client still busy with an earlier state (just maximized, say) can
    // leave the request unanswered; the same request once more ends that.
    if (!settle() && !settled(*reached)) {
        answer = request(command);
        if (!answer)
            return std::unexpected(answer.error());
        if (const auto again = KWinAnswer::frame(answer->value(QStringLiteral("frame"))))
            reached = again;
        if (!settled(*reached))
            settle();
    }
    return *reached;
}
