#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The extension the open-file dialog decides by: the text after the last "." provided no
// slash or backslash follows it, cut at a double quote; empty when there is no such ".".
std::string DialogExtension(const std::string& name);

// "pls", "m3u", "asx", "wax" and "tmp" (a downloaded stream list), given lower-cased.
bool IsPlaylistExtension(const std::string& extension);

// The names in the dialog's multi-select buffer as full paths, in the dialog's order: one
// full path when one file was chosen, else the folder, NUL, each name, NUL, and a final NUL.
std::vector<std::string> SelectedPaths(const char* buffer, size_t size);

// What to add of a selection: the names up to and including the first playlist file.
struct OpenSelection {
    std::vector<std::string> names;
    bool playlist = false; // a playlist file was among them (it is the last one)
};
OpenSelection NamesToOpen(const std::vector<std::string>& selected);
