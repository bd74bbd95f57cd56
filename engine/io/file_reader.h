#pragma once
// Local files. The stdio reader is portable; fmodex.dll opens files with the
// Win32 reader (ANSI paths, shared read access) instead.
#include <memory>

#include "fmodex.h"
#include "io/reader.h"

namespace engine {

// Opens a regular file for reading. Directories and missing paths fail with
// FMOD_ERR_FILE_NOTFOUND; the result is null then.
std::unique_ptr<Reader> OpenStdioFile(const char* path, FMOD_RESULT* result);

#if defined(_WIN32)
std::unique_ptr<Reader> OpenWin32File(const char* path, FMOD_RESULT* result);
#endif

}  // namespace engine
