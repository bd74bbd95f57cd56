#include "playlist/add_to_playlist_win.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "playback/audio_engine.h"
#include "playback/load_track_win.h"
#include "playback/tag_text.h"
#include "playback/tag_text_win.h"
#include "playback/track_info.h"
#include "playback/transport_win.h"
#include "playlist/playlist.h"
#include "playlist/open_files.h"
#include "playlist/playlist_conversion.h"
#include "playlist/playlist_transport_win.h"
#include "text/path_text.h"

#define LINE_BASE 320000
#include "ui/current_line.h"

namespace {

// A playlist that lists itself, directly or through others, would expand forever.
constexpr int kMaxPlaylistDepth = 8;
// Playlists are text; anything larger is not one worth reading whole.
constexpr long kMaxPlaylistBytes = 16 * 1024 * 1024;

int g_depth = 0;
// While a playlist file is expanded, the lower-cased paths listed since it cleared the list:
// a list of 100,000 lines must not compare each new line with every earlier one.
std::unordered_set<std::string> g_listedDuringExpansion;
bool g_expansionIndexValid = false;

bool IsListed(const std::string& path) {
    if (g_expansionIndexValid) return g_listedDuringExpansion.count(LowerLatin1(path)) != 0;
    return LastIndexOfPath(g_playlist, path) >= 0;
}
// The playlist files being expanded right now (as CanonicalPathKey), outermost first: one
// that lists itself under any spelling, directly or through others, is not expanded a
// second time; each new spelling would otherwise expand it again at every level.
std::vector<std::string> g_expanding;

bool IsBeingExpanded(const std::string& key) {
    for (const std::string& outer : g_expanding)
        if (outer == key) return true;
    return false;
}

std::string TemporaryCopyPath() {
    char folder[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) return "Quendralistformated.tmp";
    char longFolder[MAX_PATH + 1] = {};
    length = GetLongPathNameA(folder, longFolder, sizeof longFolder);
    std::string path = (length > 0 && length <= MAX_PATH) ? longFolder : folder;
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + "Quendralistformated.tmp";
}

bool ReadWholeFile(FILE* file, std::string* bytes) {
    char buffer[64 * 1024];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        const size_t room = static_cast<size_t>(kMaxPlaylistBytes) - bytes->size();
        bytes->append(buffer, got < room ? got : room);
        if (got > room) return false;
    }
    return !std::ferror(file);
}

struct ScanResult {
    std::string workingPath;
    std::string artist, title, bitrate, name;
    int32_t seconds = 0;
    int32_t tagType = 0;
    bool expanded = false;
};

void ReadScannedTags(FMOD_SOUND* sound, ScanResult& scan) {
    int count = 0;
    AT_LINE(); g_audio.Sound_GetNumTags(sound, &count, nullptr);
    for (int index = 0; index < count; ++index) {
        FMOD_TAG tag = {};
        AT_LINE(); if (g_audio.Sound_GetTag(sound, nullptr, index, &tag) != FMOD_OK) continue;
        const std::string name = tag.name ? LowerLatin1(TagText(tag.name, static_cast<unsigned>(strlen(tag.name)))) : "";
        const std::string value = SystemTagText(tag.data, tag.datalen);
        scan.tagType = static_cast<int32_t>(tag.type);
        if (tag.type == FMOD_TAGTYPE_PLAYLIST) {
            if (name == "file") {
                scan.workingPath = AddToPlaylist(value, 0);
                scan.expanded = true;
            }
            continue;
        }
        if (name == "artist") scan.artist = value;
        else if (name == "title") scan.title = value;
        else if (name == "icy-br") scan.bitrate = value;
        else if (name == "icy-name") scan.name = value;
    }
}

std::string AddScanned(const std::string& path, int32_t startup) {
    ScanResult scan;
    scan.workingPath = path;
    const bool playlistFile = IsPlaylistExtension(LowerLatin1(ExtensionOf(path)));
    if (playlistFile) {
        scan.workingPath = ConvertPlaylistFile(path);
        g_playlist.clear();
        g_listedDuringExpansion.clear();
        g_expansionIndexValid = true;
    }
    AT_LINE(); g_audio.System_SetStreamBufferSize(g_audio.system, 1, FMOD_TIMEUNIT_RAWBYTES);
    FMOD_SOUND* sound = nullptr;
    const std::string opened = scan.workingPath;
    AT_LINE(); if (g_audio.System_CreateStream(g_audio.system, opened.c_str(), FMOD_OPENONLY, nullptr, &sound) == FMOD_OK) {
        ReadScannedTags(sound, scan);
        if (!scan.expanded) {
            unsigned int milliseconds = 0;
            AT_LINE(); g_audio.Sound_GetLength(sound, &milliseconds, FMOD_TIMEUNIT_MS);
            scan.seconds = static_cast<int32_t>(milliseconds / 1000);
        }
        AT_LINE(); g_audio.Sound_Release(sound);
    }
    // A playlist that gave no entries adds nothing, also when it could not be read.
    if (!scan.expanded && !playlistFile && ExtensionOf(scan.workingPath) != "tmp") {
        PlaylistEntry entry;
        entry.path = scan.workingPath;
        entry.artist = scan.artist;
        entry.title = scan.title;
        entry.durationText = TimeText(scan.seconds);
        entry.bitrateText = scan.bitrate;
        entry.streamName = scan.name;
        entry.tagType = scan.tagType;
        g_playlist.push_back(entry);
        if (g_expansionIndexValid) g_listedDuringExpansion.insert(LowerLatin1(entry.path));
    } else if (scan.expanded && startup == 0) {
        AT_LINE(); StopPlayback();
        ResetTrackInfo();
        AT_LINE(); LoadTrack(NextEntryPath(0));
    }
    AT_LINE(); g_audio.System_SetStreamBufferSize(g_audio.system, 2000, FMOD_TIMEUNIT_MS);
    return scan.workingPath;
}

} // namespace

std::string ConvertPlaylistFile(const std::string& path) {
    FILE* source = std::fopen(path.c_str(), "rb");
    const std::string copyPath = TemporaryCopyPath();
    FILE* copy = std::fopen(copyPath.c_str(), "wb");
    std::string result = path;
    if (source && copy) {
        std::string bytes;
        // A read that fails or reaches the limit gives the lines read in full.
        if (!ReadWholeFile(source, &bytes)) bytes = CompleteLines(bytes);
        const std::string converted = ConvertPlaylistText(bytes);
        std::fwrite(converted.data(), 1, converted.size(), copy);
        result = copyPath;
    }
    if (source) std::fclose(source);
    if (copy) std::fclose(copy);
    return result;
}

std::string CanonicalPathKey(const std::string& path) {
    if (path.find("://") != std::string::npos) return LowerLatin1(path);
    char full[MAX_PATH + 1] = {};
    const DWORD fullLength = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (fullLength == 0 || fullLength >= sizeof full) return LowerLatin1(path);
    char longPath[MAX_PATH + 1] = {};
    const DWORD longLength = GetLongPathNameA(full, longPath, sizeof longPath);
    return LowerLatin1(longLength > 0 && longLength < sizeof longPath ? longPath : full);
}

std::string AddToPlaylist(const std::string& path, int32_t startup) {
    if (IsListed(path)) return path;
    const std::string key = CanonicalPathKey(path);
    if (g_depth >= kMaxPlaylistDepth || IsBeingExpanded(key)) return path;
    ++g_depth;
    g_expanding.push_back(key);
    const std::string result = AddScanned(path, startup);
    g_expanding.pop_back();
    if (--g_depth == 0) {
        g_expansionIndexValid = false;
        g_listedDuringExpansion.clear();
    }
    return result;
}
