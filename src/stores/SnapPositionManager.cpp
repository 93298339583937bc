#include "stores/SnapPositionManager.h"

SnapPositionManager& SnapPositionManager::shared()
{
    // Never destroyed: observers may still hold it while the process ends.
    static SnapPositionManager* const instance = new SnapPositionManager(DefaultsDatabase::standard());
    return *instance;
}

SnapPositionManager::SnapPositionManager(std::shared_ptr<DefaultsDatabase> userDefaults, QObject* parent)
    : QObject(parent), m_userDefaults(std::move(userDefaults))
{
    const QStringList stored = m_userDefaults->stringList(hiddenPositionsKey).value_or(QStringList());
    m_hiddenPositions = QSet<QString>(stored.cbegin(), stored.cend());
    const std::optional<QByteArray> screen = m_userDefaults->data(screenChoiceKey);
    m_screenChoice = screenChoiceFromName(QString::fromLatin1(screen.value_or(QByteArray()))).value_or(ScreenChoice::main);
    updatePositions();
}

void SnapPositionManager::setScreenChoice(ScreenChoice choice)
{
    if (choice == m_screenChoice)
        return;
    emit objectWillChange();
    m_screenChoice = choice;
    m_userDefaults->setData(screenChoiceKey, screenChoiceName(choice).toLatin1());
}

void SnapPositionManager::togglePositionVisibility(SnapPosition position)
{
    const QString raw = position.rawValue();
    if (!m_hiddenPositions.remove(raw))
        m_hiddenPositions.insert(raw);
    saveHiddenPositions();
    updatePositions();
}

void SnapPositionManager::updatePositions()
{
    QList<SnapPosition> visible;
    QList<PositionVisibility> all;
    for (SnapPosition p : SnapPosition::allCases()) {
        const bool isVisible = !m_hiddenPositions.contains(p.rawValue());
        if (isVisible)
            visible.append(p);
        all.append(PositionVisibility{p, isVisible});
    }
    emit objectWillChange();
    m_visiblePositions = std::move(visible);
    emit objectWillChange();
    m_allPositionsWithVisibility = std::move(all);
}

void SnapPositionManager::saveHiddenPositions()
{
    m_userDefaults->setStringList(hiddenPositionsKey, QStringList(m_hiddenPositions.cbegin(), m_hiddenPositions.cend()));
}

void SnapPositionManager::resetToDefaults()
{
    if (m_screenChoice != ScreenChoice::main)
        emit objectWillChange();
    m_screenChoice = ScreenChoice::main;
    m_userDefaults->remove(screenChoiceKey);
    m_hiddenPositions.clear();
    saveHiddenPositions();
    updatePositions();
    emit objectWillChange();
}
