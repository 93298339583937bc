#pragma once

#include "window/WindowSystem.h"

#include <QString>
#include <QStringList>

// A scripted window system: answers from its fields and records every call,
// in order, so tests can check what the logic asked of the platform and that
// every element it obtained was released.
class FakeWindowSystem : public WindowSystem {
public:
    bool trusted = true;
    std::optional<ApplicationId> frontmost = 42;
    int focusedStatus = 0;
    bool hasFocusedWindow = true;
    std::optional<Screen> screen = Screen{{0, 0, 1440, 900}, {0, 0, 1440, 875}};
    int positionStatus = 0;
    int sizeStatus = 0;

    QStringList calls;
    int liveElements = 0;

    class FakeElement : public Element {
    public:
        FakeElement(FakeWindowSystem& owner, QString elementName) : name(std::move(elementName)), m_owner(owner) { ++m_owner.liveElements; }
        ~FakeElement() override
        {
            --m_owner.liveElements;
            m_owner.calls << QStringLiteral("release ") + name;
        }
        const QString name;

    private:
        FakeWindowSystem& m_owner;
    };

    bool isProcessTrusted(bool prompt) override
    {
        calls << (prompt ? QStringLiteral("trusted prompt") : QStringLiteral("trusted"));
        return trusted;
    }
    std::optional<ApplicationId> frontmostApplication() override
    {
        calls << QStringLiteral("frontmost");
        return frontmost;
    }
    ElementPtr createApplicationElement(ApplicationId application) override
    {
        calls << QStringLiteral("app %1").arg(application);
        return std::make_unique<FakeElement>(*this, QStringLiteral("app"));
    }
    FocusedWindow copyFocusedWindow(const Element& application) override
    {
        calls << QStringLiteral("focused ") + nameOf(application);
        return {focusedStatus, hasFocusedWindow ? ElementPtr(std::make_unique<FakeElement>(*this, QStringLiteral("window"))) : nullptr};
    }
    std::optional<Screen> mainScreen() override
    {
        calls << QStringLiteral("screen");
        return screen;
    }
    int setPosition(const Element& window, QPointF p) override
    {
        calls << QStringLiteral("position %1 %2,%3").arg(nameOf(window)).arg(p.x()).arg(p.y());
        return positionStatus;
    }
    int setSize(const Element& window, QSizeF s) override
    {
        calls << QStringLiteral("size %1 %2x%3").arg(nameOf(window)).arg(s.width()).arg(s.height());
        return sizeStatus;
    }

private:
    static const QString& nameOf(const Element& e) { return static_cast<const FakeElement&>(e).name; }
};
