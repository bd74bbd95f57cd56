#pragma once
// The player's window classes: black background, arrow cursor, this program's instance.
#include <windows.h>

void RegisterWindowClass(const char* name, WNDPROC procedure, UINT style);
