#include "app/about_box_win.h"

#include <windows.h>

#include <string>

#include "ui/version.h"

void ShowAboutBox() {
    const std::string text = std::string("Quendra ") + VersionText() +
                             "\r\nEin kleiner Audioplayer\r\n\r\nDie Quendra-Entwickler\r\nquendra@example.org";
    MessageBoxA(GetActiveWindow(), text.c_str(), "\xDC" "ber Quendra", MB_OK);
}
