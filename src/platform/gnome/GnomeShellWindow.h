#pragma once

#include "window/Window.h"

#include <QDBusConnection>
#include <QRect>

// The focused window as Ventrel's GNOME Shell extension reported it, named by
// Mutter's window id. Each write is one call that returns once the Shell has
// seen the window settle, with the frame it got.
class GnomeShellWindow final : public Window {
public:
    GnomeShellWindow(const QDBusConnection& bus, quint64 id, QRect frame) : m_bus(bus), m_id(id), m_frame(frame) {}

    QRectF frame() const override { return m_frame; }
    std::expected<QRectF, PlatformError> setFrame(const QRectF& frame) override;
    std::expected<QRectF, PlatformError> setSize(const QSizeF& size) override;

private:
    std::expected<QRectF, PlatformError> send(const QString& method, const QVariantList& arguments);

    QDBusConnection m_bus;
    quint64 m_id;
    QRect m_frame;
};
