#pragma once

// The tray application: one per user, no window at start, running until its
// menu's quit item.
class VentrelApp {
public:
    static int run(int argc, char** argv);
};
