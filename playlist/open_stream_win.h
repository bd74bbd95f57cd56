#pragma once

// Context-menu item "Stream öffnen": a small dialog for the address of a stream or of a
// stream list; adds it (a list replaces the playlist), marks and plays what it yields.
void OpenStream();
