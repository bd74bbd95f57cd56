#pragma once

// Shows the file-information window of the current track, modal over the main window,
// until "Ok" is clicked; returns 1.
int ShowFileInfo();
