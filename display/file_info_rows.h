#pragma once
#include <string>
#include <vector>

#include "playback/track_info.h"

struct FileInfoRow {
    std::string label;
    std::string value;
};

// The 13 labelled rows of the file-information window, in display order.
std::vector<FileInfoRow> FileInfoRows(const TrackInfo& track);

// The text a double-clicked row puts on the clipboard: "label: value".
std::string FileInfoClipText(const FileInfoRow& row);
