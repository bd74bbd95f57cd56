#pragma once
// The download behind "Stream öffnen" for an address that may name a list or a stream.
#include <string>

struct StreamAnswer {
    bool saved = false;      // the whole answer is in the file
    std::string contentType; // as the server gave it, or empty
    std::string head;        // the answer's first bytes, or empty
};

// Downloads `address` into `path`: at most 1 MB and 10 s, and no further than the content
// type when that says audio. The player's windows keep being drawn meanwhile, and a server
// that never answers costs no more than the bound.
StreamAnswer DownloadStreamAnswer(const std::string& address, const std::string& path);
