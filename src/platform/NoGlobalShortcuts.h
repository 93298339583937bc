#pragma once

#include "window/GlobalShortcuts.h"

#include <QSet>

// Where no global shortcut reaches us: every shortcut stays assigned, and
// says why it does nothing here.
class NoGlobalShortcuts final : public GlobalShortcuts {
public:
    explicit NoGlobalShortcuts(QString reason, QString bindingDialect = {}, QObject* parent = nullptr)
        : GlobalShortcuts(parent), m_reason(std::move(reason)), m_bindingDialect(std::move(bindingDialect))
    {
    }

    void registerShortcut(const QString& id, const QString&, QKeyCombination) override
    {
        m_ids.insert(id);
        emit statusChanged(id);
    }
    void unregisterShortcut(const QString& id) override
    {
        m_ids.remove(id);
        emit statusChanged(id);
    }
    std::optional<Status> status(const QString& id) const override
    {
        if (!m_ids.contains(id))
            return std::nullopt;
        return Status{Status::State::unsupported, m_reason};
    }

    QString bindingDialect() const override { return m_bindingDialect; }

private:
    QString m_reason;
    QString m_bindingDialect;
    QSet<QString> m_ids;
};
