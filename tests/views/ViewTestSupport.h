#pragma once

#include "stores/PresetManager.h"
#include "stores/SettingsDefaultsDatabase.h"
#include "stores/SnapPositionManager.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Real stores over a settings file in a fresh temporary directory.
struct TemporaryStores {
    QTemporaryDir directory;
    std::shared_ptr<SettingsDefaultsDatabase> database =
        std::make_shared<SettingsDefaultsDatabase>(directory.filePath(QStringLiteral("settings.ini")));
    PresetManager presets{database};
    SnapPositionManager snapPositions{database};
};

// Runs the panes' deferred redraws and deletes the row widgets they replaced.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

inline double opacityOf(const QWidget* widget)
{
    const auto* effect = qobject_cast<const QGraphicsOpacityEffect*>(widget->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

inline QString symbolOf(const QAbstractButton* button)
{
    return button->property("symbolName").toString();
}
