#pragma once

// The work after every wait: mini window refresh and hover, the oscilloscope, the
// half-second status update and the hiding of balloon tips, each on its own interval.
void DoPeriodicWork();
