// Holds one key combination the way another program would: a passive grab on
// the root window. Prints "held" or "refused", then keeps the grab until its
// standard input closes or it is killed.
// Usage: key-holder KEYSYM_HEX MODIFIER_MASK
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 2;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, xcb_keysym_t(std::strtoul(argv[1], nullptr, 16)));
    if (!codes || *codes == XCB_NO_SYMBOL)
        return 2;
    const auto modifiers = uint16_t(std::strtoul(argv[2], nullptr, 0));
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_grab_key_checked(c, 1, root, modifiers, codes[0], XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::puts(error ? "refused" : "held");
    std::fflush(stdout);
    std::free(error);
    std::free(codes);
    while (std::getchar() != EOF) {
    }
    xcb_key_symbols_free(symbols);
    xcb_disconnect(c);
    return 0;
}
