#pragma once
#include <string>

// Makes a file path or stream URL the current track: releases the previous sound, opens
// the new one as a stream, reads its tags, format and length into the track record,
// announces it and lets it play. An empty path or one that does not open ends in the state
// without a loaded file ("keine Datei geladen").
void LoadTrack(const std::string& path);
