// Key grabs on the X server of with-desktop.sh, against another client that
// holds keys as a second program would, and real key events from xdotool.
#include "platform/x11/X11GlobalShortcuts.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <xcb/xcb_keysyms.h>

using State = GlobalShortcuts::Status::State;

class TestX11GlobalShortcuts : public QObject {
    Q_OBJECT
    xcb_connection_t* m_other = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    static constexpr uint16_t ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

    xcb_keycode_t keycode(xcb_keysym_t keysym)
    {
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_other);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
        const xcb_keycode_t code = codes ? codes[0] : 0;
        free(codes);
        xcb_key_symbols_free(symbols);
        return code;
    }
    // Whether the other client got Ctrl+Alt+keysym (it keeps it until released).
    bool otherGrabs(xcb_keysym_t keysym)
    {
        xcb_generic_error_t* error = xcb_request_check(m_other, xcb_grab_key_checked(m_other, 1, m_root, ctrlAlt, keycode(keysym),
                                                                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        free(error);
        return !error;
    }
    static bool press(const char* keys) { return QProcess::execute("xdotool", {"key", keys}) == 0; }

private slots:
    void initTestCase()
    {
        m_other = xcb_connect(nullptr, nullptr);
        QVERIFY2(!xcb_connection_has_error(m_other), "run under scripts/desktop/with-desktop.sh");
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_other)).data->root;
    }
    void cleanupTestCase() { xcb_disconnect(m_other); }

    void takenThenFreedRemappedAndReleased()
    {
        const auto shortcuts = X11GlobalShortcuts::connect();
        QVERIFY(shortcuts);
        QSignalSpy activated(shortcuts.get(), &GlobalShortcuts::activated);
        QVERIFY(otherGrabs('k'));
        shortcuts->registerShortcut("topHalf", "Top Half", Qt::CTRL | Qt::ALT | Qt::Key_K);
        shortcuts->registerShortcut("square", "Square", Qt::CTRL | Qt::ALT | Qt::Key_S);
        QTRY_COMPARE(shortcuts->status("topHalf")->state, State::taken);
        QCOMPARE(shortcuts->status("square")->state, State::active);

        // X tells no one when a grab goes: the kept shortcut is tried again.
        xcb_ungrab_key(m_other, keycode('k'), m_root, ctrlAlt);
        xcb_flush(m_other);
        QTRY_COMPARE_WITH_TIMEOUT(shortcuts->status("topHalf")->state, State::active, 5000);
        QVERIFY(press("ctrl+alt+k"));
        QTRY_COMPARE(activated.value(0), QVariantList{"topHalf"});

        // S moves to T's key: the grab must follow the keysym there.
        const QString s = QString::number(keycode('s')), t = QString::number(keycode('t'));
        QCOMPARE(QProcess::execute("xmodmap", {"-e", "keycode " + s + " = t T", "-e", "keycode " + t + " = s S"}), 0);
        QTRY_VERIFY(press("ctrl+alt+s") && activated.size() == 2);
        QCOMPARE(activated.value(1), QVariantList{"square"});

        // A shortcut let go is free for another program.
        QVERIFY(!otherGrabs('s'));
        shortcuts->unregisterShortcut("square");
        QTRY_VERIFY(otherGrabs('s'));
    }
};

QTEST_GUILESS_MAIN(TestX11GlobalShortcuts)
#include "tst_x11globalshortcuts.moc"
