#include "views/SymbolIcon.h"

#include "model/SnapPosition.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>
#include <QTransform>

#include <optional>

namespace {

// Symbols are designed on a 16 × 16 grid with a 1.4 unit line.
constexpr double grid = 16.0;
constexpr double line = 1.4;

QPainterPath stroked(const QPainterPath& path, double width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path).simplified();
}

QPainterPath almond()
{
    QPainterPath p;
    p.moveTo(0.8, 8);
    p.cubicTo(3.2, 3.4, 12.8, 3.4, 15.2, 8);
    p.cubicTo(12.8, 12.6, 3.2, 12.6, 0.8, 8);
    p.closeSubpath();
    return p;
}

QPainterPath circle(double cx, double cy, double r)
{
    QPainterPath p;
    p.addEllipse(QPointF(cx, cy), r, r);
    return p;
}

QPainterPath segment(QPointF a, QPointF b)
{
    QPainterPath p;
    p.moveTo(a);
    p.lineTo(b);
    return p;
}

std::optional<SnapPosition> snapPositionNamed(const QString& name)
{
    for (SnapPosition p : SnapPosition::allCases()) {
        if (p.iconName() == name)
            return p;
    }
    return std::nullopt;
}

// An outlined screen with the position's target rectangle filled in. frame()
// works with y growing upwards, the painter with y growing downwards.
QPainterPath snapSymbol(SnapPosition position)
{
    const QRectF screen(1.2, 2.6, 13.6, 10.8);
    QPainterPath outline;
    outline.addRoundedRect(screen, 1.8, 1.8);
    QPainterPath path = stroked(outline, line);

    const QRectF inner = screen.adjusted(2.0, 2.0, -2.0, -2.0);
    const QRectF up = position.frame(QRectF(0, 0, inner.width(), inner.height()));
    const QRectF target(inner.left() + up.x(), inner.top() + inner.height() - up.y() - up.height(), up.width(),
                        up.height());
    QPainterPath fill;
    fill.addRoundedRect(target, 0.6, 0.6);
    return path.united(fill);
}

QPainterPath gear()
{
    QPainterPath teeth;
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-1.5, -7.6, 3.0, 3.4), 0.5, 0.5);
        teeth.addPath(QTransform().translate(8, 8).rotate(i * 45.0).map(tooth));
    }
    return circle(8, 8, 5.4).united(teeth).subtracted(circle(8, 8, 2.2));
}

QPainterPath expandVertical()
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(1.5, 5.3, 13.0, 5.4), 1.4, 1.4);
    QPainterPath arrows;
    arrows.addPath(segment({8, 0.9}, {8, 3.6}));
    arrows.moveTo(5.9, 2.9);
    arrows.lineTo(8, 0.9);
    arrows.lineTo(10.1, 2.9);
    arrows.addPath(segment({8, 12.4}, {8, 15.1}));
    arrows.moveTo(5.9, 13.1);
    arrows.lineTo(8, 15.1);
    arrows.lineTo(10.1, 13.1);
    return stroked(frame, line).united(stroked(arrows, line));
}

QPainterPath trash()
{
    QPainterPath p;
    p.addPath(segment({2, 3.8}, {14, 3.8}));
    p.moveTo(6, 3.8);
    p.lineTo(6.3, 1.9);
    p.lineTo(9.7, 1.9);
    p.lineTo(10, 3.8);
    p.moveTo(3.6, 3.8);
    p.lineTo(4.4, 14.3);
    p.lineTo(11.6, 14.3);
    p.lineTo(12.4, 3.8);
    p.addPath(segment({6.6, 6.4}, {6.8, 11.8}));
    p.addPath(segment({9.4, 6.4}, {9.2, 11.8}));
    return stroked(p, line);
}

// The outline of a symbol on the 16-unit grid, filled with the winding rule;
// empty for an unknown name.
QPainterPath symbolPath(const QString& name)
{
    if (name == QLatin1String("eye.fill")) {
        QPainterPath p = almond().subtracted(circle(8, 8, 3.3));
        return p.united(circle(8, 8, 2.0));
    }
    if (name == QLatin1String("eye.slash")) {
        QPainterPath eye = stroked(almond(), line).united(stroked(circle(8, 8, 2.4), line));
        // Clear a channel beside the bar so it reads as crossing the eye.
        eye = eye.subtracted(stroked(segment({2.2, 1.0}, {13.8, 15.0}), line * 2.6));
        return eye.united(stroked(segment({2.6, 1.5}, {13.4, 14.5}), line));
    }
    if (name == QLatin1String("trash"))
        return trash();
    if (name == QLatin1String("plus")) {
        QPainterPath p = segment({8, 2.5}, {8, 13.5});
        p.addPath(segment({2.5, 8}, {13.5, 8}));
        return stroked(p, 1.8);
    }
    if (name == QLatin1String("xmark.circle.fill")) {
        QPainterPath x = segment({5.4, 5.4}, {10.6, 10.6});
        x.addPath(segment({10.6, 5.4}, {5.4, 10.6}));
        return circle(8, 8, 7.2).subtracted(stroked(x, 1.6));
    }
    if (name == QLatin1String("line.3.horizontal")) {
        QPainterPath p = segment({2, 4}, {14, 4});
        p.addPath(segment({2, 8}, {14, 8}));
        p.addPath(segment({2, 12}, {14, 12}));
        return stroked(p, 1.5);
    }
    if (name == QLatin1String("gear"))
        return gear();
    if (name == QLatin1String("rectangle.expand.vertical"))
        return expandVertical();
    if (const auto position = snapPositionNamed(name))
        return snapSymbol(*position);
    return {};
}

QTransform gridToBox(const QRectF& box)
{
    const double side = std::min(box.width(), box.height());
    const double scale = side / grid;
    return QTransform()
        .translate(box.center().x() - side / 2, box.center().y() - side / 2)
        .scale(scale, scale);
}

class SymbolEngine : public QIconEngine {
public:
    SymbolEngine(QString name, QColor color, QColor halo)
        : m_name(std::move(name)), m_color(color), m_halo(halo)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        QColor color = m_color;
        if (mode == QIcon::Disabled)
            color.setAlphaF(color.alphaF() * 0.4f);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QPainterPath path = gridToBox(rect).map(symbolPath(m_name));
        if (m_halo.isValid()) {
            const QPainterPath outline = stroked(path, std::max(1.5, rect.height() / 11.0)).united(path);
            painter->fillPath(outline, m_halo);
        }
        painter->fillPath(path, color);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // QIcon passes the size in device pixels already multiplied by scale.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter painter(&pm);
            paint(&painter, QRect(QPoint(0, 0), pm.size()), mode, state);
        }
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QIconEngine* clone() const override { return new SymbolEngine(m_name, m_color, m_halo); }
    QString key() const override { return QStringLiteral("VentrelSymbol"); }
    QString iconName() override { return m_name; }

private:
    QString m_name;
    QColor m_color;
    QColor m_halo;
};

const QStringList& fixedNames()
{
    static const QStringList names{QStringLiteral("eye.fill"),          QStringLiteral("eye.slash"),
                                   QStringLiteral("trash"),             QStringLiteral("plus"),
                                   QStringLiteral("xmark.circle.fill"), QStringLiteral("line.3.horizontal"),
                                   QStringLiteral("gear"),              QStringLiteral("rectangle.expand.vertical")};
    return names;
}

} // namespace

QIcon SymbolIcon::icon(const QString& symbolName, const QPalette& palette)
{
    return tinted(symbolName, palette.color(QPalette::Active, QPalette::WindowText));
}

QIcon SymbolIcon::tinted(const QString& symbolName, const QColor& color)
{
    if (!hasSymbol(symbolName))
        return {};
    return QIcon(new SymbolEngine(symbolName, color, QColor()));
}

QIcon SymbolIcon::trayIcon(const QPalette& palette)
{
    QIcon icon(new SymbolEngine(QStringLiteral("rectangle.expand.vertical"),
                                palette.color(QPalette::Active, QPalette::WindowText),
                                palette.color(QPalette::Active, QPalette::Window)));
    icon.setIsMask(true);
    return icon;
}

bool SymbolIcon::hasSymbol(const QString& symbolName)
{
    return fixedNames().contains(symbolName) || snapPositionNamed(symbolName).has_value();
}

QStringList SymbolIcon::symbolNames()
{
    QStringList names = fixedNames();
    for (SnapPosition p : SnapPosition::allCases()) {
        if (!names.contains(p.iconName()))
            names.append(p.iconName());
    }
    return names;
}

bool SymbolIcon::paint(QPainter& painter, const QString& symbolName, const QRectF& box, const QColor& color)
{
    const QPainterPath path = symbolPath(symbolName);
    if (path.isEmpty())
        return false;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(gridToBox(box).map(path), color);
    painter.restore();
    return true;
}
