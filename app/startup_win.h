#pragma once
#include <windows.h>

// Brings the player up in its fixed order and runs the event loop; never returns.
[[noreturn]] void RunPlayer(HINSTANCE instance, int argumentCount, char** arguments);
