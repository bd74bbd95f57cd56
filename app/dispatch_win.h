#pragma once
#include "app/events.h"

// Hands an event of the main window (6) or the mini window (0) to the operation that owns
// it; events of other windows and empty waits dispatch nothing.
void DispatchEvent(const Event& event);
