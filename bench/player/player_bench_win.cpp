// Costs of the player's heavier operations, measured in-process under Wine with the real
// sound library beside the program: one oscilloscope frame, a refresh of the playlist view
// with 10,000 rows, and adding 1,000 local files. Prints the figures; asserts nothing.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/build_ui_win.h"
#include "app/main_window_visibility_win.h"
#include "app/mini_window_win.h"
#include "display/oscilloscope_win.h"
#include "playback/audio_engine_win.h"
#include "playback/track_info.h"
#include "playlist/add_to_playlist_win.h"
#include "playlist/playlist.h"
#include "playlist/playlist_view_win.h"
#include "ui/elements_win.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Processor time of this thread: wall time under Wine includes waiting for the X server.
double ThreadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

int g_phase = 0;
FMOD_RESULT F_API SineWaveData(FMOD_CHANNEL*, float* samples, int count, int) {
    for (int i = 0; i < count; ++i) samples[i] = 0.8f * std::sin(0.07f * static_cast<float>(i + g_phase));
    g_phase += 37;
    return FMOD_OK;
}

void MeasureFrame() {
    auto realWaveData = g_audio.Channel_GetWaveData;
    g_audio.Channel_GetWaveData = SineWaveData;
    g_track.displayText = "K\xFCnstler mit einem langen Namen - Ein Titel, der nicht in die Zeile passt (04:12)";
    const int frames = 500;
    const double start = Now(), startCpu = ThreadCpuSeconds();
    for (int i = 0; i < frames; ++i) DrawOscilloscopeFrame();
    const double perFrame = (Now() - start) / frames, perFrameCpu = (ThreadCpuSeconds() - startCpu) / frames;
    std::printf("oscilloscope frame: %.0f us wall, %.0f us processor (target under 1000 us)\n", perFrame * 1e6,
                perFrameCpu * 1e6);
    g_audio.Channel_GetWaveData = realWaveData;
}

void MeasureRefresh() {
    g_playlist.clear();
    for (int i = 0; i < 10000; ++i) {
        PlaylistEntry entry;
        entry.path = "C:\\Musik\\Album " + std::to_string(i / 12) + "\\Titel " + std::to_string(i) + ".mp3";
        entry.artist = "K\xFCnstler " + std::to_string(i % 97);
        entry.title = "Titel " + std::to_string(i);
        entry.durationText = "03:1" + std::to_string(i % 10);
        g_playlist.push_back(entry);
    }
    const double start = Now();
    RefreshPlaylistView(g_playlist[5000].path);
    PumpMessages();
    std::printf("refresh of 10,000 rows: %.0f ms (target under 300 ms)\n", (Now() - start) * 1e3);
}

bool WriteSilentWav(const std::string& path) {
    const unsigned frames = 4410, dataBytes = frames * 4;
    unsigned char header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                                1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 'd', 'a', 't', 'a'};
    const unsigned riff = 36 + dataBytes;
    for (int i = 0; i < 4; ++i) {
        header[4 + i] = static_cast<unsigned char>(riff >> (8 * i));
        header[40 + i] = static_cast<unsigned char>(dataBytes >> (8 * i));
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fwrite(header, 1, sizeof header, file);
    std::vector<unsigned char> silence(dataBytes, 0);
    std::fwrite(silence.data(), 1, silence.size(), file);
    return std::fclose(file) == 0;
}

void MeasureAdds() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "quendra-bench-adds\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> paths;
    for (int i = 0; i < 1000; ++i) {
        paths.push_back(folder + "track" + std::to_string(i) + ".wav");
        if (GetFileAttributesA(paths.back().c_str()) == INVALID_FILE_ATTRIBUTES && !WriteSilentWav(paths.back())) {
            std::printf("adding 1,000 files: could not write the files\n");
            return;
        }
    }
    g_playlist.clear();
    for (const std::string& path : paths) AddToPlaylist(path, 0); // warms the cache
    g_playlist.clear();
    const double start = Now();
    for (const std::string& path : paths) AddToPlaylist(path, 0);
    std::printf("adding 1,000 local files: %.0f ms, %zu entries (target under 1000 ms)\n", (Now() - start) * 1e3,
                g_playlist.size());
}

} // namespace

int main() {
    g_ui.instance = GetModuleHandleA(nullptr);
    CreateUserInterfaceResources();
    if (!LoadAudioEngine(g_audio) || g_audio.System_Create(&g_audio.system) != FMOD_OK ||
        g_audio.System_Init(g_audio.system, 2, FMOD_INIT_NORMAL, nullptr) != FMOD_OK) {
        std::printf("fmodex.dll beside the program could not be started\n");
        return 1;
    }
    CreateMiniWindow();
    BuildUserInterface();
    RestoreMainWindow();
    PumpMessages();
    MeasureFrame();
    MeasureRefresh();
    MeasureAdds();
    g_audio.System_Release(g_audio.system);
    return 0;
}
