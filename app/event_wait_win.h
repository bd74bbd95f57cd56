#pragma once
#include "app/events.h"

// Waits at most `timeoutMs` for the next window message, translates the keyboard
// shortcuts of the active main window, dispatches the message and returns the event it
// gave, if any.
Event WaitEvent(unsigned timeoutMs);
