#pragma once

#include "window/Window.h"

#include <QRect>
#include <QSize>
#include <QString>

class KWinWindowSystem;

// A window as KWin's script described it: its id inside KWin, its frame, and
// the size limits KWin will hold it to. A full-screen window is refused.
class KWinWindow final : public Window {
public:
    KWinWindow(KWinWindowSystem& system, QString id, QRect frame, QSize minSize, QSize maxSize, bool fullScreen);

    QRectF frame() const override;
    std::expected<QRectF, PlatformError> setFrame(const QRectF& frame) override;
    std::expected<QRectF, PlatformError> setSize(const QSizeF& size) override;

private:
    std::expected<QRectF, PlatformError> place(const QRect& target, bool sizeOnly);

    KWinWindowSystem& m_system;
    QString m_id;
    QRect m_frame;
    QSize m_minSize;
    QSize m_maxSize;
    bool m_fullScreen;
};
