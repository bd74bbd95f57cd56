#pragma once
// Live Ogg Vorbis, page by page: the file decoder wants a whole file to scan,
// a radio stream never ends. Each new link of a chained stream (Icecast starts
// one per title) restarts the decoder, and its comments bring the new ARTIST
// and TITLE. Runs on the stream's worker thread after Open.
#include <functional>
#include <memory>
#include <vector>

#include "formats/decoder.h"
#include "net/icy_metadata.h"

struct stb_vorbis;

namespace engine {

using TitleCallback = std::function<void(const StreamTitle&)>;

// Reads the first link's headers from the reader's start; the title of each link
// (the first one's during Open) goes to onTitle.
FMOD_RESULT OpenOggStream(std::unique_ptr<Reader> reader, TitleCallback onTitle, std::unique_ptr<Decoder>* out);

// The title in a link's comments ("ARTIST=", "TITLE=", any letter case); false when it has neither.
bool TitleFromComments(const std::vector<std::string>& fields, StreamTitle& out);

}  // namespace engine
