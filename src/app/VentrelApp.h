#pragma once

// The tray application: one per user, no window at start, running until its
// menu's quit item.
class VentrelApp {
public:
    static int run(int argc, char** argv);
};

// The tray app's entry, looked up by name when the library is loaded.
extern "C" int ventrel_tray_main(int argc, char** argv);
