#pragma once

// Hides the main window to the tray (showing the mini window when it is enabled) and
// brings it back. Restoring a window that is shown already is harmless.
void HideMainWindow();
void RestoreMainWindow();

// A synthetic left click into the mini window's text area, so the mini window takes the
// input focus when the cursor enters it; the cursor goes back where it was.
void ClickMiniWindow();
