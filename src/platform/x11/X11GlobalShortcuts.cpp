#include "platform/x11/X11GlobalShortcuts.h"

#include "platform/x11/XcbReply.h"

#include <QSocketNotifier>

#include <xcb/xcb_keysyms.h>

#include <array>

namespace {

// From X11/keysymdef.h, which comes with Xlib's headers rather than xcb's.
constexpr uint32_t XK_Num_Lock = 0xff7f;
constexpr uint32_t XK_Scroll_Lock = 0xff14;
constexpr uint32_t XK_Alt_L = 0xffe9;
constexpr uint32_t XK_Super_L = 0xffeb;
constexpr uint8_t badAccess = 10;

struct KeyPair {
    Qt::Key key;
    uint32_t keysym;
};

constexpr std::array<KeyPair, 36> specialKeys{{
    {Qt::Key_Escape, 0xff1b},   {Qt::Key_Tab, 0xff09},      {Qt::Key_Backtab, 0xfe20},  {Qt::Key_Backspace, 0xff08},
    {Qt::Key_Return, 0xff0d},   {Qt::Key_Enter, 0xff8d},    {Qt::Key_Insert, 0xff63},   {Qt::Key_Delete, 0xffff},
    {Qt::Key_Pause, 0xff13},    {Qt::Key_Print, 0xff61},    {Qt::Key_SysReq, 0xff15},   {Qt::Key_Clear, 0xff0b},
    {Qt::Key_Home, 0xff50},     {Qt::Key_End, 0xff57},      {Qt::Key_Left, 0xff51},     {Qt::Key_Up, 0xff52},
    {Qt::Key_Right, 0xff53},    {Qt::Key_Down, 0xff54},     {Qt::Key_PageUp, 0xff55},   {Qt::Key_PageDown, 0xff56},
    {Qt::Key_Menu, 0xff67},     {Qt::Key_Help, 0xff6a},     {Qt::Key_Space, 0x20},      {Qt::Key_VolumeDown, 0x1008ff11},
    {Qt::Key_VolumeMute, 0x1008ff12}, {Qt::Key_VolumeUp, 0x1008ff13}, {Qt::Key_MediaPlay, 0x1008ff14},
    {Qt::Key_MediaStop, 0x1008ff15}, {Qt::Key_MediaPrevious, 0x1008ff16}, {Qt::Key_MediaNext, 0x1008ff17},
    {Qt::Key_HomePage, 0x1008ff18}, {Qt::Key_LaunchMail, 0x1008ff19}, {Qt::Key_Search, 0x1008ff1b},
    {Qt::Key_Calculator, 0x1008ff1d}, {Qt::Key_Back, 0x1008ff26}, {Qt::Key_Forward, 0x1008ff27},
}};

} // namespace

uint32_t X11GlobalShortcuts::keysym(Qt::Key key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return 0xffbe + uint32_t(key - Qt::Key_F1);
    // Qt numbers printable Latin-1 keys by their upper-case character; X's
    // keysyms for them are the characters themselves, letters in lower case.
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return uint32_t(key) + 0x20;
    if (key >= 0x20 && key <= 0xff)
        return uint32_t(key);
    for (const KeyPair& pair : specialKeys) {
        if (pair.key == key)
            return pair.keysym;
    }
    return 0;
}

std::unique_ptr<X11GlobalShortcuts> X11GlobalShortcuts::connect(const char* displayName)
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<X11GlobalShortcuts>(new X11GlobalShortcuts(connection, screens.data->root));
}

X11GlobalShortcuts::X11GlobalShortcuts(xcb_connection_t* connection, xcb_window_t root)
    : m_connection(connection), m_root(root), m_symbols(xcb_key_symbols_alloc(connection))
{
    readModifierMap();
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, this);
    QObject::connect(m_notifier, &QSocketNotifier::activated, this, &X11GlobalShortcuts::readEvents);
    m_retry.setInterval(retryInterval);
    QObject::connect(&m_retry, &QTimer::timeout, this, &X11GlobalShortcuts::retryTaken);
}

X11GlobalShortcuts::~X11GlobalShortcuts()
{
    xcb_key_symbols_free(m_symbols);
    xcb_disconnect(m_connection);
}

void X11GlobalShortcuts::readModifierMap()
{
    m_numLock = m_scrollLock = 0;
    m_alt = XCB_MOD_MASK_1;
    m_super = XCB_MOD_MASK_4;
    const auto reply = xcbReply<xcb_get_modifier_mapping_reply>(m_connection, xcb_get_modifier_mapping(m_connection));
    if (!reply)
        return;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code == 0)
                continue;
            const uint32_t sym = xcb_key_symbols_get_keysym(m_symbols, code, 0);
            const auto mask = uint16_t(1u << modifier);
            if (sym == XK_Num_Lock)
                m_numLock = mask;
            else if (sym == XK_Scroll_Lock)
                m_scrollLock = mask;
            else if (sym == XK_Alt_L)
                m_alt = mask;
            else if (sym == XK_Super_L)
                m_super = mask;
        }
    }
}

QList<uint16_t> X11GlobalShortcuts::lockCombinations() const
{
    // A lock that no modifier carries on this keyboard adds no combinations.
    QList<uint16_t> combinations{0};
    for (const uint16_t lock : {uint16_t(XCB_MOD_MASK_LOCK), m_numLock, m_scrollLock}) {
        if (lock == 0)
            continue;
        const qsizetype count = combinations.size();
        for (qsizetype i = 0; i < count; ++i)
            combinations.append(combinations.at(i) | lock);
    }
    return combinations;
}

void X11GlobalShortcuts::registerShortcut(const QString& id, const QString& description, QKeyCombination keys)
{
    Q_UNUSED(description)
    if (const auto existing = m_grabs.constFind(id); existing != m_grabs.cend()) {
        if (existing->keys == keys)
            return;
        ungrab(*existing);
    }
    Grab& entry = m_grabs[id];
    entry = Grab{keys, {}, 0, {}};
    grab(id, entry);
}

void X11GlobalShortcuts::unregisterShortcut(const QString& id)
{
    const auto found = m_grabs.constFind(id);
    if (found == m_grabs.cend())
        return;
    ungrab(*found);
    m_grabs.erase(found);
    emit statusChanged(id);
}

std::optional<GlobalShortcuts::Status> X11GlobalShortcuts::status(const QString& id) const
{
    const auto found = m_grabs.constFind(id);
    if (found == m_grabs.cend())
        return std::nullopt;
    return found->status;
}

void X11GlobalShortcuts::grab(const QString& id, Grab& entry)
{
    const Qt::KeyboardModifiers mods = entry.keys.keyboardModifiers();
    entry.modifiers = (mods & Qt::ShiftModifier ? XCB_MOD_MASK_SHIFT : 0) |
                      (mods & Qt::ControlModifier ? XCB_MOD_MASK_CONTROL : 0) | (mods & Qt::AltModifier ? m_alt : 0) |
                      (mods & Qt::MetaModifier ? m_super : 0);
    entry.keycodes.clear();
    if (const uint32_t sym = keysym(entry.keys.key())) {
        XcbReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(m_symbols, sym));
        for (const xcb_keycode_t* code = codes.get(); code && *code != XCB_NO_SYMBOL; ++code) {
            if (!entry.keycodes.contains(*code))
                entry.keycodes.append(*code);
        }
    }
    if (entry.keycodes.isEmpty()) {
        setStatus(id, entry, {Status::State::taken, QStringLiteral("No key on this keyboard types it.")});
        return;
    }
    QList<xcb_void_cookie_t> cookies;
    for (const xcb_keycode_t code : std::as_const(entry.keycodes)) {
        for (const uint16_t locks : lockCombinations())
            cookies.append(xcb_grab_key_checked(m_connection, 1, m_root, entry.modifiers | locks, code,
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool refused = false;
    bool otherError = false;
    for (const xcb_void_cookie_t cookie : std::as_const(cookies)) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
        if (error)
            (error->error_code == badAccess ? refused : otherError) = true;
    }
    if (refused || otherError) {
        // Whatever part of it was granted goes back, so that a half-held
        // combination is not taken away from the program that has the rest.
        ungrab(entry);
        setStatus(id, entry,
                  {Status::State::taken, refused ? QStringLiteral("Another program is using this combination.")
                                                 : QStringLiteral("The X server refused this combination.")});
        if (!m_retry.isActive())
            m_retry.start();
        return;
    }
    setStatus(id, entry, {Status::State::active, {}});
}

void X11GlobalShortcuts::ungrab(const Grab& entry)
{
    for (const xcb_keycode_t code : entry.keycodes) {
        for (const uint16_t locks : lockCombinations())
            xcb_ungrab_key(m_connection, code, m_root, entry.modifiers | locks);
    }
    xcb_flush(m_connection);
}

void X11GlobalShortcuts::setStatus(const QString& id, Grab& entry, Status status)
{
    if (entry.status == status)
        return;
    entry.status = std::move(status);
    emit statusChanged(id);
}

void X11GlobalShortcuts::regrabAll()
{
    for (auto it = m_grabs.begin(); it != m_grabs.end(); ++it)
        ungrab(*it);
    xcb_key_symbols_free(m_symbols);
    m_symbols = xcb_key_symbols_alloc(m_connection);
    readModifierMap();
    for (auto it = m_grabs.begin(); it != m_grabs.end(); ++it)
        grab(it.key(), *it);
}

void X11GlobalShortcuts::retryTaken()
{
    bool anyTaken = false;
    for (auto it = m_grabs.begin(); it != m_grabs.end(); ++it) {
        if (it->status.state == Status::State::taken) {
            grab(it.key(), *it);
            anyTaken = anyTaken || it->status.state == Status::State::taken;
        }
    }
    if (!anyTaken)
        m_retry.stop();
    readEvents();
}

void X11GlobalShortcuts::readEvents()
{
    bool mappingChanged = false;
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)}) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_MAPPING_NOTIFY) {
            auto* notify = reinterpret_cast<xcb_mapping_notify_event_t*>(event.get());
            if (notify->request != XCB_MAPPING_POINTER)
                mappingChanged = true;
        } else if (type == XCB_KEY_PRESS) {
            const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event.get());
            const uint16_t locks = XCB_MOD_MASK_LOCK | m_numLock | m_scrollLock;
            const uint16_t held = press->state & ~locks & 0xff;
            for (auto it = m_grabs.cbegin(); it != m_grabs.cend(); ++it) {
                if (it->status.state == Status::State::active && it->modifiers == held &&
                    it->keycodes.contains(press->detail)) {
                    emit activated(it.key());
                    break;
                }
            }
        }
    }
    // Once for a burst of notifications: xmodmap sends one per line it changes.
    if (mappingChanged)
        regrabAll();
}
