#pragma once

#include "window/Window.h"

#include <QJsonObject>

class I3IpcWindowSystem;

// A window found in the tree of i3 or sway: its container as it was when
// looked up. Each write is one command (sent again if it did not hold);
// I3IpcWindowSystem does the talking.
class I3IpcWindow final : public Window {
public:
    I3IpcWindow(I3IpcWindowSystem& system, QJsonObject container, qint64 id, const QRectF& frame);

    QRectF frame() const override;
    std::expected<QRectF, PlatformError> setFrame(const QRectF& frame) override;
    std::expected<QRectF, PlatformError> setSize(const QSizeF& size) override;

    const QJsonObject& container() const { return m_container; }
    qint64 id() const { return m_id; }

private:
    I3IpcWindowSystem& m_system;
    QJsonObject m_container;
    qint64 m_id;
    QRectF m_frame;
};
