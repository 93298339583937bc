#pragma once

#include <QIcon>

// Ventrel's own icon, named by the application id: the icon theme's when it
// has one (the installed hicolor copy, or a theme's own drawing), else the
// copy built into the program, so windows and the tray have it even when run
// from the build folder.
class AppIcon {
public:
    static QIcon application();
    // The status item. Where a theme has the symbolic variant, panels can
    // recolour it to suit themselves; otherwise the application icon. On macOS
    // status items are template images, so there it is the drawn symbol.
    static QIcon tray();
};
