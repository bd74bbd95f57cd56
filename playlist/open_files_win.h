#pragma once

// Context-menu item "Datei öffnen": the system's open-file dialog for one or more audio or
// playlist files; adds them, plays the first (or a playlist's first entry) and marks it.
void OpenFiles();
