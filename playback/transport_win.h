#pragma once

// Pauses the channel and rewinds it to 0 ms; the track stays loaded, so a following
// play resumes it from the start. Both play/pause buttons show the play symbol.
void StopPlayback();

// Both play/pause buttons (main and mini window) show the pause or the play symbol, always
// as their normal images.
void ShowPauseSymbol();
void ShowPlaySymbol();

// Pauses or resumes the playing track; false, doing nothing, when nothing is playing.
bool PauseOrResume();
