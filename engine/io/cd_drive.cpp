#include "io/cd_drive.h"

#include <cctype>

namespace engine {

bool IsDriveName(const char* path) {
    return std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           (path[2] == '\0' || ((path[2] == '\\' || path[2] == '/') && path[3] == '\0'));
}

}  // namespace engine
