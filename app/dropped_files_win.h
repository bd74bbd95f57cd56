#pragma once
#include <windows.h>
#include <shellapi.h>

// Adds every file dropped on the main window, in the order the shell reports them, then
// refreshes the playlist view once.
void TakeDroppedFiles(HDROP drop);
