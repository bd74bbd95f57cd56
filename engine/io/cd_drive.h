#pragma once
// CD drives named like paths: "D:" or "D:\" (any letter, nothing after it).
#include <memory>

#include "fmodex.h"
#include "io/cd_device.h"

namespace engine {

bool IsDriveName(const char* path);

#if defined(_WIN32)
// The drive's device when `path` names a CD-ROM drive (GetDriveTypeA); null with
// *result FMOD_OK when it names none (the path is then opened as a file), null with
// FMOD_ERR_CDDA_READ when the device cannot be opened.
std::unique_ptr<CdDevice> OpenCdDrive(const char* path, FMOD_RESULT* result);
#endif

}  // namespace engine
