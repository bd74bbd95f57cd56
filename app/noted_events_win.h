#pragma once
#include "app/events.h"

// Events the window procedures note, kept in order until the event loop takes them. A
// message sent by another thread or process (a tray click, a close request) is handled
// inside whatever message call runs, a modal box's loop too, so several can be waiting.
void NoteEvent(const Event& event);

// The oldest waiting event; false when none waits.
bool TakeNotedEvent(Event* event);

// How many events wait.
int NotedEventCount();
