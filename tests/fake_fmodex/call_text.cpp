#include "call_text.h"

#include <cstdio>

std::string QuotedText(const char* text) {
    if (!text) {
        return "null";
    }
    std::string quoted = "\"";
    for (const char* p = text; *p; p++) {
        unsigned char byte = static_cast<unsigned char>(*p);
        if (byte == '\\' || byte == '"') {
            quoted += '\\';
            quoted += static_cast<char>(byte);
        } else if (byte < 0x20 || byte > 0x7E) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            quoted += escape;
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    return quoted + "\"";
}

std::string PointerText(const void* pointer) {
    return pointer ? "&" : "null";
}

std::string HandleText(std::string_view kind, int number) {
    if (number == 0) {
        return "null";
    }
    if (number < 0) {
        return "bad";
    }
    return std::string(kind) + std::to_string(number);
}

std::string HexText(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

std::string FloatText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string CallLine(std::string_view name, const std::vector<std::string>& args, std::string_view result) {
    std::string line(name);
    line += '(';
    for (size_t i = 0; i < args.size(); i++) {
        if (i > 0) {
            line += ", ";
        }
        line += args[i];
    }
    line += ") = ";
    line += result;
    return line;
}
