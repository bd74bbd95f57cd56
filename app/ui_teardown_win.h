#pragma once

// Releases whatever BuildUserInterface, CreateMiniWindow and CreateUserInterfaceResources
// made: the tray icon, the windows, the menu, the shortcuts, the font, the skin and images.
void DestroyUserInterface();
