#include "platform/macos/MacGlobalShortcuts.h"

#include <Carbon/Carbon.h>

#include <QTimer>

#include <array>

namespace {

// Hot keys are told apart by this signature and a number of ours.
constexpr OSType signature = (OSType('V') << 24) | (OSType('n') << 16) | (OSType('t') << 8) | OSType('l');

struct KeyCode {
    Qt::Key key;
    UInt32 code;
};

// Virtual key codes of the ANSI layout (HIToolbox's kVK_ constants): they
// name positions on the keyboard, which is what RegisterEventHotKey takes.
constexpr std::array<KeyCode, 66> keyCodes{{
    {Qt::Key_A, kVK_ANSI_A}, {Qt::Key_B, kVK_ANSI_B}, {Qt::Key_C, kVK_ANSI_C}, {Qt::Key_D, kVK_ANSI_D},
    {Qt::Key_E, kVK_ANSI_E}, {Qt::Key_F, kVK_ANSI_F}, {Qt::Key_G, kVK_ANSI_G}, {Qt::Key_H, kVK_ANSI_H},
    {Qt::Key_I, kVK_ANSI_I}, {Qt::Key_J, kVK_ANSI_J}, {Qt::Key_K, kVK_ANSI_K}, {Qt::Key_L, kVK_ANSI_L},
    {Qt::Key_M, kVK_ANSI_M}, {Qt::Key_N, kVK_ANSI_N}, {Qt::Key_O, kVK_ANSI_O}, {Qt::Key_P, kVK_ANSI_P},
    {Qt::Key_Q, kVK_ANSI_Q}, {Qt::Key_R, kVK_ANSI_R}, {Qt::Key_S, kVK_ANSI_S}, {Qt::Key_T, kVK_ANSI_T},
    {Qt::Key_U, kVK_ANSI_U}, {Qt::Key_V, kVK_ANSI_V}, {Qt::Key_W, kVK_ANSI_W}, {Qt::Key_X, kVK_ANSI_X},
    {Qt::Key_Y, kVK_ANSI_Y}, {Qt::Key_Z, kVK_ANSI_Z}, {Qt::Key_0, kVK_ANSI_0}, {Qt::Key_1, kVK_ANSI_1},
    {Qt::Key_2, kVK_ANSI_2}, {Qt::Key_3, kVK_ANSI_3}, {Qt::Key_4, kVK_ANSI_4}, {Qt::Key_5, kVK_ANSI_5},
    {Qt::Key_6, kVK_ANSI_6}, {Qt::Key_7, kVK_ANSI_7}, {Qt::Key_8, kVK_ANSI_8}, {Qt::Key_9, kVK_ANSI_9},
    {Qt::Key_Minus, kVK_ANSI_Minus}, {Qt::Key_Equal, kVK_ANSI_Equal}, {Qt::Key_BracketLeft, kVK_ANSI_LeftBracket},
    {Qt::Key_BracketRight, kVK_ANSI_RightBracket}, {Qt::Key_Semicolon, kVK_ANSI_Semicolon},
    {Qt::Key_Apostrophe, kVK_ANSI_Quote}, {Qt::Key_Comma, kVK_ANSI_Comma}, {Qt::Key_Period, kVK_ANSI_Period},
    {Qt::Key_Slash, kVK_ANSI_Slash}, {Qt::Key_Backslash, kVK_ANSI_Backslash}, {Qt::Key_QuoteLeft, kVK_ANSI_Grave},
    {Qt::Key_Return, kVK_Return}, {Qt::Key_Tab, kVK_Tab}, {Qt::Key_Space, kVK_Space},
    {Qt::Key_Backspace, kVK_Delete}, {Qt::Key_Delete, kVK_ForwardDelete}, {Qt::Key_Escape, kVK_Escape},
    {Qt::Key_Left, kVK_LeftArrow}, {Qt::Key_Right, kVK_RightArrow}, {Qt::Key_Up, kVK_UpArrow},
    {Qt::Key_Down, kVK_DownArrow}, {Qt::Key_Home, kVK_Home}, {Qt::Key_End, kVK_End}, {Qt::Key_PageUp, kVK_PageUp},
    {Qt::Key_PageDown, kVK_PageDown}, {Qt::Key_F1, kVK_F1}, {Qt::Key_F2, kVK_F2}, {Qt::Key_F3, kVK_F3},
    {Qt::Key_F4, kVK_F4}, {Qt::Key_F5, kVK_F5},
}};

constexpr std::array<KeyCode, 14> moreFunctionKeys{{
    {Qt::Key_F6, kVK_F6}, {Qt::Key_F7, kVK_F7}, {Qt::Key_F8, kVK_F8}, {Qt::Key_F9, kVK_F9},
    {Qt::Key_F10, kVK_F10}, {Qt::Key_F11, kVK_F11}, {Qt::Key_F12, kVK_F12}, {Qt::Key_F13, kVK_F13},
    {Qt::Key_F14, kVK_F14}, {Qt::Key_F15, kVK_F15}, {Qt::Key_F16, kVK_F16}, {Qt::Key_F17, kVK_F17},
    {Qt::Key_F18, kVK_F18}, {Qt::Key_F19, kVK_F19},
}};

std::optional<UInt32> keyCode(Qt::Key key)
{
    for (const KeyCode& k : keyCodes)
        if (k.key == key)
            return k.code;
    for (const KeyCode& k : moreFunctionKeys)
        if (k.key == key)
            return k.code;
    return std::nullopt;
}

// Qt on macOS calls Command "Control" and Control "Meta".
UInt32 carbonModifiers(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ControlModifier ? cmdKey : 0) | (modifiers & Qt::MetaModifier ? controlKey : 0) |
           (modifiers & Qt::AltModifier ? optionKey : 0) | (modifiers & Qt::ShiftModifier ? shiftKey : 0);
}

OSStatus hotKeyHandler(EventHandlerCallRef, EventRef event, void* userData)
{
    EventHotKeyID hotKey{};
    if (GetEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, nullptr, sizeof hotKey, nullptr,
                          &hotKey) != noErr ||
        hotKey.signature != signature)
        return eventNotHandledErr;
    static_cast<MacGlobalShortcuts*>(userData)->pressed(hotKey.id);
    return noErr;
}

} // namespace

struct MacGlobalShortcuts::Private {
    struct Entry {
        QKeyCombination keys;
        UInt32 number = 0;
        EventHotKeyRef ref = nullptr;
        Status status;
    };
    EventHandlerRef handler = nullptr;
    QHash<QString, Entry> entries;
    UInt32 nextNumber = 1;
    QTimer retry;
};

MacGlobalShortcuts::MacGlobalShortcuts() : d(std::make_unique<Private>())
{
    const EventTypeSpec pressedType{kEventClassKeyboard, kEventHotKeyPressed};
    InstallApplicationEventHandler(NewEventHandlerUPP(hotKeyHandler), 1, &pressedType, this, &d->handler);
    d->retry.setInterval(1000);
    connect(&d->retry, &QTimer::timeout, this, [this] {
        bool anyTaken = false;
        for (auto it = d->entries.begin(); it != d->entries.end(); ++it) {
            if (it->status.state == Status::State::taken) {
                registerShortcut(it.key(), {}, it->keys);
                anyTaken = anyTaken || it->status.state == Status::State::taken;
            }
        }
        if (!anyTaken)
            d->retry.stop();
    });
}

MacGlobalShortcuts::~MacGlobalShortcuts()
{
    for (const Private::Entry& entry : std::as_const(d->entries))
        if (entry.ref)
            UnregisterEventHotKey(entry.ref);
    if (d->handler)
        RemoveEventHandler(d->handler);
}

void MacGlobalShortcuts::registerShortcut(const QString& id, const QString&, QKeyCombination keys)
{
    Private::Entry& entry = d->entries[id];
    if (entry.ref) {
        if (entry.keys == keys)
            return;
        UnregisterEventHotKey(entry.ref);
        entry.ref = nullptr;
    }
    entry.keys = keys;
    if (entry.number == 0)
        entry.number = d->nextNumber++;
    Status status{Status::State::active, {}};
    if (const std::optional<UInt32> code = keyCode(keys.key())) {
        const OSStatus result = RegisterEventHotKey(*code, carbonModifiers(keys.keyboardModifiers()),
                                                    EventHotKeyID{signature, entry.number},
                                                    GetApplicationEventTarget(), 0, &entry.ref);
        if (result == eventHotKeyExistsErr) {
            status = {Status::State::taken, QStringLiteral("Another application is using this combination.")};
            d->retry.start();
        } else if (result != noErr) {
            status = {Status::State::taken, QStringLiteral("macOS refused this combination (error %1).").arg(result)};
        }
    } else {
        status = {Status::State::taken, QStringLiteral("macOS has no hot key for this key.")};
    }
    if (entry.status == status)
        return;
    entry.status = status;
    emit statusChanged(id);
}

void MacGlobalShortcuts::unregisterShortcut(const QString& id)
{
    const auto found = d->entries.constFind(id);
    if (found == d->entries.cend())
        return;
    if (found->ref)
        UnregisterEventHotKey(found->ref);
    d->entries.erase(found);
    emit statusChanged(id);
}

std::optional<GlobalShortcuts::Status> MacGlobalShortcuts::status(const QString& id) const
{
    const auto found = d->entries.constFind(id);
    if (found == d->entries.cend())
        return std::nullopt;
    return found->status;
}

void MacGlobalShortcuts::pressed(quint32 number)
{
    for (auto it = d->entries.cbegin(); it != d->entries.cend(); ++it) {
        if (it->number == number) {
            emit activated(it.key());
            return;
        }
    }
}
