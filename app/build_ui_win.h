#pragma once

// Builds the frame window 5, the main window 6 with its skin and controls 7 to 16, the
// keyboard shortcuts, the context menu 17 and the tray icon 35, in that order. Anything
// that cannot be created is skipped; operations on its number then do nothing.
void BuildUserInterface();

// The font, images, skin and icon the windows use; made before the windows.
void CreateUserInterfaceResources();
