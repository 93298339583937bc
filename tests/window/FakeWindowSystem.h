#pragma once

#include "window/WindowSystem.h"

#include <QStringList>

#include <functional>

// A scripted window system: answers from its fields and records every call,
// in order, so tests can check what the logic asked of the platform and that
// every window it obtained was released.
class FakeWindowSystem : public WindowSystem {
public:
    bool trusted = true;
    std::optional<PlatformError> focusError;
    QRectF frame{100, 100, 400, 300};
    // One 1440x900 screen with a 25 px menu bar.
    Screens screenList{std::vector(1, Screen{{0, 0, 1440, 900}, {0, 25, 1440, 875}}), 0};
    std::optional<PlatformError> writeError;
    // What the window makes of a requested frame; by default it takes it.
    std::function<QRectF(const QRectF& before, const QRectF& requested)> settle = [](const QRectF&, const QRectF& r) { return r; };

    QStringList calls;
    int liveWindows = 0;

    class FakeWindow : public Window {
    public:
        explicit FakeWindow(FakeWindowSystem& owner) : m_owner(owner) { ++m_owner.liveWindows; }
        ~FakeWindow() override
        {
            --m_owner.liveWindows;
            m_owner.calls << QStringLiteral("release");
        }
        QRectF frame() const override { return m_owner.frame; }
        std::expected<QRectF, PlatformError> setFrame(const QRectF& f) override
        {
            m_owner.calls << QStringLiteral("frame %1,%2 %3x%4").arg(f.x()).arg(f.y()).arg(f.width()).arg(f.height());
            return write(f);
        }
        std::expected<QRectF, PlatformError> setSize(const QSizeF& s) override
        {
            m_owner.calls << QStringLiteral("size %1x%2").arg(s.width()).arg(s.height());
            return write({m_owner.frame.topLeft(), s});
        }

    private:
        std::expected<QRectF, PlatformError> write(const QRectF& requested)
        {
            if (m_owner.writeError)
                return std::unexpected(*m_owner.writeError);
            return m_owner.settle(m_owner.frame, requested);
        }
        FakeWindowSystem& m_owner;
    };

    QString name() const override { return QStringLiteral("fake"); }
    bool isProcessTrusted(bool prompt) override
    {
        calls << (prompt ? QStringLiteral("trusted prompt") : QStringLiteral("trusted"));
        return trusted;
    }
    std::expected<std::unique_ptr<Window>, PlatformError> focusedWindow() override
    {
        calls << QStringLiteral("focused");
        if (focusError)
            return std::unexpected(*focusError);
        return std::make_unique<FakeWindow>(*this);
    }
    Screens screens() override
    {
        calls << QStringLiteral("screens");
        return screenList;
    }
};
