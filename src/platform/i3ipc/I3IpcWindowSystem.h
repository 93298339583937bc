#pragma once

#include "platform/i3ipc/I3IpcClient.h"
#include "window/WindowSystem.h"

#include <QJsonObject>

#include <chrono>
#include <optional>

class I3IpcWindow;

// What i3 and sway have in common: the focused window from GET_TREE, the
// screens from GET_OUTPUTS and GET_WORKSPACES, and a RUN_COMMAND per write
// followed by reading back where the window ended up (sent again when sway
// takes back what it answered). The two dialects differ in how a
// container's rect relates to the outer frame, in the command that places a
// window, in how long it takes to settle, and in how our own windows are
// recognised.
class I3IpcWindowSystem : public WindowSystem {
public:
    bool isProcessTrusted(bool prompt) override;
    std::expected<std::unique_ptr<Window>, PlatformError> focusedWindow() override;
    Screens screens() override;

    // Floats the window and gives it this outer frame; the frame the
    // compositor gave it.
    std::expected<QRectF, PlatformError> place(const I3IpcWindow& window, const QRectF& frame);

    // How long any one exchange with the compositor may take.
    static constexpr std::chrono::milliseconds requestTimeout{2000};
    // Sending a placement again only helps against changes that were
    // already on their way to the client.
    static constexpr int maxPlaceAttempts = 6;

protected:
    explicit I3IpcWindowSystem(std::unique_ptr<I3IpcClient> client);
    // A connected client, or null when nothing answers at socketPath.
    static std::unique_ptr<I3IpcClient> connectClient(const QString& socketPath);

    // The node is an application's window (not a workspace, a split or a bar).
    virtual bool isWindow(const QJsonObject& node) const = 0;
    virtual std::optional<QRect> outerFrame(const QJsonObject& container) const = 0;
    // The command that floats the window and gives it this outer frame.
    virtual QString placeCommand(const I3IpcWindow& window, const QRect& frame) const = 0;
    virtual bool isOwnWindow(const QJsonObject& container) const = 0;
    // The outer frame the window has once the compositor is done with a
    // command it has answered; by default the frame in its answer.
    virtual std::expected<QRect, PlatformError> settledFrame(const QJsonObject& container, QDeadlineTimer deadline);

    // The window's container as the tree has it now.
    std::expected<QJsonObject, PlatformError> findContainer(qint64 id, QDeadlineTimer deadline);

private:
    std::unique_ptr<I3IpcClient> m_client;
};
