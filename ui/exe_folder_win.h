#pragma once
#include <string>

// A file in the folder of the player's executable ("Quendra.ini", "Quendra.pls"), or empty
// when the system cut the executable's path short: then nothing is read or written, rather
// than a file of the same name in another folder.
std::string FileInExecutableFolder(const char* name);
