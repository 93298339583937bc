#pragma once

#include "platform/i3ipc/I3IpcWindowSystem.h"
#include "platform/sway/XwaylandGeometry.h"

#include <QElapsedTimer>
#include <QHash>

// sway, over its IPC socket (SWAYSOCK). A container's rect leaves out its
// title bar, which sits above it (deco_rect).
class SwayWindowSystem final : public I3IpcWindowSystem {
public:
    // Null when nothing answers at socketPath.
    static std::unique_ptr<SwayWindowSystem> connect(const QString& socketPath);
    ~SwayWindowSystem() override;

    QString name() const override;

private:
    using I3IpcWindowSystem::I3IpcWindowSystem;

    bool isWindow(const QJsonObject& node) const override;
    std::optional<QRect> outerFrame(const QJsonObject& container) const override;
    QString placeCommand(const I3IpcWindow& window, const QRect& frame) const override;
    bool isOwnWindow(const QJsonObject& container) const override;
    std::expected<QRect, PlatformError> settledFrame(const QJsonObject& container, QDeadlineTimer deadline) override;

    // Opened on the first X client placed; null while there is none.
    std::unique_ptr<XwaylandGeometry> m_xwayland;
    // When this backend last placed each window, for as long as a change of
    // it may still be on its way to the client.
    QHash<qint64, QElapsedTimer> m_placed;
    QElapsedTimer m_age = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
};
