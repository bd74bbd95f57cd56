#pragma once
#include <string>

// Lower-cases A to Z and the Latin-1 capitals (bytes 0xC0 to 0xDE get 0x20 added).
std::string LowerLatin1(const std::string& text);

// Two paths name the same entry when their lower-cased bytes are equal; slashes and
// relative parts are not normalised.
bool PathsEqual(const std::string& a, const std::string& b);

// The text after the last slash or backslash.
std::string FileNamePart(const std::string& path);

// The text after the last "." provided no slash or backslash follows it, else empty.
std::string ExtensionOf(const std::string& path);

// The folder of a module's path as GetModuleFileNameA gave it (`length` characters in a
// buffer of `capacity`), ending in its slash. Empty when the path was cut short (the
// length fills the buffer) or has no folder: a cut path would name another folder.
std::string ModuleFolder(const char* path, unsigned long length, unsigned long capacity);
