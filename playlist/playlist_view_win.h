#pragma once
#include <string>

// Rebuilds every row of the playlist view and marks the entry with this path (the later
// one when it is listed twice): scrolled to third from the top, selected and focused.
void RefreshPlaylistView(const std::string& currentPath);

// Clears the selection, scrolls row index - 2 to the top and selects and focuses row
// index; with -1 nothing is selected.
void MarkPlaylistRow(int index);

// Deletes the entries whose rows are selected; the playing track plays on.
void RemoveSelectedEntries();

// Selects every row.
void SelectAllRows();

// Plays the entry of the first selected row, if any.
void PlaySelectedRow();

// Reorders the playlist at random (menu "Mischen").
void ShuffleEntries();
