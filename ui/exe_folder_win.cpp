#include "ui/exe_folder_win.h"

#include <windows.h>

#include "text/path_text.h"

namespace {

std::string ExecutableFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ModuleFolder(path, length, MAX_PATH);
}

} // namespace

std::string FileInExecutableFolder(const char* name) {
    const std::string folder = ExecutableFolder();
    return folder.empty() ? std::string() : folder + name;
}
