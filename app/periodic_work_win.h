#pragma once

// The work after every wait: mini window refresh and hover, the oscilloscope, the
// half-second status update and the hiding of balloon tips, each on its own interval.
void DoPeriodicWork();

// How long the event loop may wait for messages before some of that work falls due: at
// most 10 ms while the mini window follows the cursor, else until the next interval ends.
unsigned MillisecondsUntilPeriodicWork();
