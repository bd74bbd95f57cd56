#pragma once

// The program version shown in the tray tooltip and the About box.
inline const char* VersionText() {
    return "1.0";
}
