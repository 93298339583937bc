#pragma once

#include "stores/DefaultsDatabase.h"
#include "window/GlobalShortcuts.h"

#include <QKeySequence>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>

#include <expected>
#include <memory>
#include <optional>

class PresetManager;

// The global shortcuts the user assigned, stored under "shortcuts" as one
// JSON object from id (a preset's upper-case UUID or a snap position's raw
// value) to the combination in portable text. None are assigned by default.
// The shortcuts of presets that no longer exist are dropped as the presets go.
class ShortcutManager : public QObject {
    Q_OBJECT
public:
    static ShortcutManager& shared();

    ShortcutManager(std::shared_ptr<DefaultsDatabase> userDefaults, PresetManager& presets, QObject* parent = nullptr);

    static QString presetId(const QUuid& id);

    const QMap<QString, QKeySequence>& shortcuts() const { return m_shortcuts; }
    // Empty when none is assigned.
    QKeySequence shortcut(const QString& id) const { return m_shortcuts.value(id); }
    // Assigns keys (their first combination) to id, or clears it when keys is
    // empty. A combination another id holds is refused with that id.
    std::expected<void, QString> setShortcut(const QString& id, const QKeySequence& keys);
    // The preset's name or the snap position's title; empty for an unknown id.
    QString displayName(const QString& id) const;
    void resetToDefaults();

    // Where the shortcuts are registered, for what the desktop made of them.
    void setSystem(GlobalShortcuts* system);
    std::optional<GlobalShortcuts::Status> status(const QString& id) const;
    // Where the window manager binds keys itself, the lines of its
    // configuration that bind these shortcuts, and its name; else nothing.
    QStringList bindingLines() const;
    QString bindingDialect() const { return m_system ? m_system->bindingDialect() : QString(); }
    // While a combination is being typed into a field, the shortcuts are let
    // go, so that typing one of them records it rather than running it.
    void setRecording(bool recording);
    bool isRecording() const { return m_recording; }

signals:
    void recordingChanged(bool recording);
    void objectWillChange();
    void statusChanged(const QString& id);

private:
    bool isKnownId(const QString& id) const;
    void load();
    void save();
    void dropDeletedPresets();

    std::shared_ptr<DefaultsDatabase> m_userDefaults;
    PresetManager& m_presets;
    QMap<QString, QKeySequence> m_shortcuts;
    // The stored bytes while some entries in them could not be used, until a
    // copy of them has been kept.
    std::optional<QByteArray> m_unreadable;
    QPointer<GlobalShortcuts> m_system;
    bool m_recording = false;
};
