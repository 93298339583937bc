#pragma once

#include "model/SnapPosition.h"
#include "stores/DefaultsDatabase.h"
#include "window/ScreenChoice.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>

// Which snap positions the menu offers. Only the hidden ones are stored, as a
// list of raw values under "hiddenSnapPositions".
class SnapPositionManager : public QObject {
    Q_OBJECT
public:
    struct PositionVisibility {
        SnapPosition position;
        bool isVisible;
        friend bool operator==(const PositionVisibility&, const PositionVisibility&) = default;
    };

    static SnapPositionManager& shared();

    explicit SnapPositionManager(std::shared_ptr<DefaultsDatabase> userDefaults, QObject* parent = nullptr);

    static inline const QString hiddenPositionsKey = QStringLiteral("hiddenSnapPositions");
    // "main" or "window"; missing means main.
    static inline const QString screenChoiceKey = QStringLiteral("screenChoice");

    const QList<SnapPosition>& visiblePositions() const { return m_visiblePositions; }
    const QList<PositionVisibility>& allPositionsWithVisibility() const { return m_allPositionsWithVisibility; }
    const QSet<QString>& hiddenPositions() const { return m_hiddenPositions; }

    // Which screen snaps fill (and sizes are clamped to).
    ScreenChoice screenChoice() const { return m_screenChoice; }
    void setScreenChoice(ScreenChoice choice);

    void togglePositionVisibility(SnapPosition position);
    void updatePositions();
    void saveHiddenPositions();
    void resetToDefaults();

signals:
    // Sent before each change of a published list (two per recomputation)
    // and of the screen choice.
    void objectWillChange();

private:
    std::shared_ptr<DefaultsDatabase> m_userDefaults;
    QList<SnapPosition> m_visiblePositions;
    QList<PositionVisibility> m_allPositionsWithVisibility;
    QSet<QString> m_hiddenPositions;
    ScreenChoice m_screenChoice = ScreenChoice::main;
};
