// Where fmodex.dll looks for MIDI instruments: a gm.dls beside it, Windows' own General MIDI
// bank, then SoundFonts beside it (for systems without the Windows bank).
#include <windows.h>

#include "api/sound_bank_paths_win.h"

namespace engine {
namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// The folder of the module this code is in, with a trailing backslash; empty when unknown.
std::wstring LibraryFolder() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&LibraryFolder), &module))
        return {};
    wchar_t path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(module, path, DWORD(std::size(path)));
    if (n == 0 || n >= std::size(path)) return {};
    std::wstring folder(path, n);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

}  // namespace

std::vector<std::string> SoundBankPathsWin() {
    std::vector<std::string> paths;
    const std::wstring folder = LibraryFolder();
    if (!folder.empty()) paths.push_back(Utf8(folder + L"gm.dls"));
    wchar_t system[MAX_PATH];
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    if (n > 0 && n < MAX_PATH) paths.push_back(Utf8(std::wstring(system, n) + L"\\drivers\\gm.dls"));
    if (!folder.empty()) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"*.sf2").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) paths.push_back(Utf8(folder + found.cFileName));
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
    return paths;
}

}  // namespace engine
