#pragma once

// The general end: releases everything the program still holds and ends the process
// with exit code 0. Never returns.
[[noreturn]] void EndProgram();

// The quit sequence: save, close the windows, remove the tray icon, stop the sound,
// release and unload the sound library, end. Never returns.
[[noreturn]] void QuitProgram();
