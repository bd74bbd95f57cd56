#pragma once

// Swaps the hover and normal images of the image buttons of a window as the cursor enters
// and leaves them, in the order the buttons are given.
void UpdateMainWindowHover();
void UpdateMiniWindowHover();
