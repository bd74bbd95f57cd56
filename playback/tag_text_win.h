#pragma once
#include <string>

// TagText in the system's ANSI code page: UTF-8 tags and list entries become the narrow
// text every A function of the system reads, wherever each character has a place there.
std::string SystemTagText(const void* data, unsigned length);
