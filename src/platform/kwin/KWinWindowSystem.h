#pragma once

#include "platform/kwin/KWinBridge.h"
#include "platform/kwin/KWinScript.h"
#include "window/WindowSystem.h"

#include <QDBusConnection>
#include <QJsonObject>

#include <chrono>
#include <memory>
#include <optional>

// Window control in a KWin session (Plasma 5.27 and 6, Wayland or X11)
// through a script of ours inside KWin: KWin has no D-Bus method that sets
// another window's geometry, but its scripts can set frameGeometry, which is
// exactly the outer frame. The script is loaded at the first action and stays
// loaded as long as this object lives, so each action after the first is one
// message to KWin and one back; a command-line run loads and unloads it once.
//
// The main screen is KWin's active screen; work areas are KWin's maximize
// areas (without panels). A maximized window is restored before it is
// placed; a full-screen one is refused; this process's own windows are never
// the target.
class KWinWindowSystem final : public WindowSystem {
public:
    // Nothing when org.kde.KWin is not on the bus or our bridge cannot be
    // exported. Unloads scripts left by Ventrel processes that are gone.
    static std::unique_ptr<KWinWindowSystem> connect(QDBusConnection connection = QDBusConnection::sessionBus(),
                                                     QString folder = KWinScript::defaultFolder());
    ~KWinWindowSystem() override;

    QString name() const override;
    bool isProcessTrusted(bool prompt) override;
    std::expected<std::unique_ptr<Window>, PlatformError> focusedWindow() override;
    Screens screens() override;

    // Loads the script unless it is loaded; every request does this first,
    // so a script KWin dropped is loaded again by the next action.
    std::expected<void, PlatformError> prepare();
    // Unloads the script; the next action loads it again.
    void unload();
    const KWinScript& script() const { return m_script; }

    // Gives the window KWin knows by id this frame. Returns the frame once it
    // settled on expected (only its size when sizeOnly), or whatever it
    // reached within settleTimeout.
    std::expected<QRect, PlatformError> place(const QString& window, const QRect& frame, const QRect& expected,
                                              bool sizeOnly);

    static constexpr std::chrono::milliseconds answerTimeout{1000};
    static constexpr std::chrono::milliseconds settleTimeout{500};

private:
    KWinWindowSystem(QDBusConnection connection, QString folder);

    struct Look {
        std::optional<QJsonObject> window;
        Screens screens;
    };

    // Sends a command and waits for its answer (not for later reports).
    std::expected<QJsonObject, PlatformError> request(QJsonObject command);
    std::expected<Look, PlatformError> look();
    // Runs events until accept takes a message for id, or until the deadline.
    std::optional<QJsonObject> await(int id, std::chrono::milliseconds timeout,
                                     const std::function<bool(const QJsonObject&)>& accept);

    QDBusConnection m_connection;
    KWinBridge m_bridge;
    KWinScript m_script;
    int m_lastId = 0;
    int m_loads = 0;
    // What the last look learnt, for one focusedWindow() and one screens().
    std::optional<Look> m_windowLook;
    std::optional<Screens> m_screensLook;
};
