#pragma once
// How the fake sound library writes a call into its log: `Name(arg, arg) = result`.
#include <string>
#include <string_view>
#include <vector>

// A C string in double quotes with \\, \" and \xNN for bytes outside 0x20..0x7E; null stays `null`.
std::string QuotedText(const char* text);

// Caller-supplied pointers the log does not look into: `&`, or `null`.
std::string PointerText(const void* pointer);

// Handles by creation order: `sound3`; 0 gives `null`, a negative number `bad`.
std::string HandleText(std::string_view kind, int number);

std::string HexText(unsigned value);   // modes and flags: 0xc9
std::string FloatText(float value);    // %g

std::string CallLine(std::string_view name, const std::vector<std::string>& args, std::string_view result);
