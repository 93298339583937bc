#pragma once

#include "stores/LoginItemService.h"

#include <QStringList>

// A login-item service that answers from memory, logs the changes asked of
// it, and refuses them with `refusal` when that is set.
struct FakeLoginItemService : LoginItemService {
    Status current = Status::notRegistered;
    QString refusal;
    QStringList log;
    Status status() const override { return current; }
    std::expected<void, QString> registerService() override { return change("register", Status::enabled); }
    std::expected<void, QString> unregisterService() override { return change("unregister", Status::notRegistered); }
    std::expected<void, QString> change(const QString& call, Status to)
    {
        log << call;
        if (!refusal.isEmpty())
            return std::unexpected(refusal);
        current = to;
        return {};
    }
};
