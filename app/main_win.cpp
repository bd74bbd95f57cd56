#include <windows.h>

#include <cstdlib>

#include "app/startup_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RunPlayer(instance, __argc, __argv);
}
