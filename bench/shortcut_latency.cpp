// From a key press (or a click) to the window manager's ConfigureNotify on
// the active window: the press is faked with XTEST here, so the clock starts
// as the server gets it. Run on a desktop where Ventrel runs with shortcuts
// set (bench/shortcut-latency.sh does it).
//
//   shortcut_latency keys RUNS KEYSYM_A KEYSYM_B MODS   alternate two
//                               shortcuts RUNS times; one line per run
//   shortcut_latency click X Y  one click of button 1 there; one line
//
// Each line: microseconds to the first ConfigureNotify that changes the
// window, and to the last one before the window has been quiet for 100 ms
// (its final frame); "miss" when nothing came within 2 s.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using Clock = std::chrono::steady_clock;

namespace {

xcb_connection_t* c;
xcb_window_t root;

xcb_window_t activeWindow()
{
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 18, "_NET_ACTIVE_WINDOW"), nullptr);
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
    const xcb_window_t window = reply && xcb_get_property_value_length(reply) == 4
                                    ? *static_cast<xcb_window_t*>(xcb_get_property_value(reply))
                                    : XCB_NONE;
    std::free(reply);
    std::free(atom);
    return window;
}

// Waits for the window's ConfigureNotify events after start and prints the times.
bool measure(xcb_window_t window, Clock::time_point start)
{
    double first = -1, last = -1;
    Clock::time_point quietUntil = start + std::chrono::seconds(2);
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY &&
                reinterpret_cast<xcb_configure_notify_event_t*>(event)->window == window) {
                const double at = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
                if (first < 0)
                    first = at;
                last = at;
                quietUntil = Clock::now() + std::chrono::milliseconds(100);
            }
            std::free(event);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(quietUntil - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&fd, 1, int(left));
    }
    if (first < 0) {
        std::puts("miss");
        std::fflush(stdout);
        return false;
    }
    std::printf("%.0f %.0f\n", first, last);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) || argc < 4)
        return 2;
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_window_t window = activeWindow();
    if (!window)
        return 2;
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    if (std::strcmp(argv[1], "click") == 0) {
        const auto x = int16_t(std::atoi(argv[2]));
        const auto y = int16_t(std::atoi(argv[3]));
        xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, x, y, 0);
        const Clock::time_point start = Clock::now();
        xcb_test_fake_input(c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c);
        return measure(window, start) ? 0 : 1;
    }

    const int runs = std::atoi(argv[2]);
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    const auto code = [&](const char* hex) {
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, xcb_keysym_t(std::strtoul(hex, nullptr, 16)));
        const xcb_keycode_t first = codes ? codes[0] : 0;
        std::free(codes);
        return first;
    };
    const xcb_keycode_t keys[2] = {code(argv[3]), code(argv[4])};
    const xcb_keycode_t control = code("ffe3"), alt = code("ffe9");
    for (int i = 0; i < runs; ++i) {
        const xcb_keycode_t key = keys[i % 2];
        xcb_test_fake_input(c, XCB_KEY_PRESS, control, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_PRESS, alt, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c);
        // A round trip: the modifiers are down before the clock starts.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        const Clock::time_point start = Clock::now();
        xcb_test_fake_input(c, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, alt, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, control, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c);
        measure(window, start);
    }
    xcb_key_symbols_free(symbols);
    return 0;
}
