#pragma once
#include <string>

// The folder of the player's executable, ending in a backslash: "Quendra.ini" and
// "Quendra.pls" live there.
std::string ExecutableFolder();
