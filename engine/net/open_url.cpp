#include "net/open_url.h"

#include <algorithm>
#include <cctype>

#include "formats/ogg_probe.h"
#include "formats/time_units.h"
#include "net/net_decoder.h"
#include "net/net_reader.h"
#include "net/ogg_stream_decoder.h"
#include "net/timeouts.h"
#include "text/utf8.h"

namespace engine {
namespace {

constexpr const char* kHeaderTags[] = {"icy-name", "icy-br",  "icy-genre",   "icy-url", "icy-description",
                                       "icy-pub",  "icy-metaint", "content-type"};
constexpr uint64_t kGuessedBytesPerSecond = 16000;  // 128 kbit/s, when nothing says better

uint64_t BytesPerSecond(const ResponseHead& head, const StreamFormat& format) {
    if (const std::string* br = FindHeader(head, "icy-br")) {
        const uint64_t kbps = std::strtoull(br->c_str(), nullptr, 10);
        if (kbps >= 8 && kbps <= 10000) return kbps * 1000 / 8;
    }
    if (format.type == FMOD_SOUND_TYPE_WAV && format.bitsPerSample > 0)
        return uint64_t{format.sampleRate} * format.channels * format.bitsPerSample / 8;
    return kGuessedBytesPerSecond;
}

// How many bytes of the stream make the stream buffer size.
size_t PrebufferBytes(unsigned int size, FMOD_TIMEUNIT unit, const ResponseHead& head, const StreamFormat& format) {
    const uint64_t cap = kNetBufferBytes * 3 / 4;
    if (unit == FMOD_TIMEUNIT_RAWBYTES) return static_cast<size_t>(std::min<uint64_t>(size, cap));
    uint64_t frames = 0;
    if (format.sampleRate == 0 || !UnitToFrames(size, unit, format, &frames)) return 0;
    const uint64_t bytes = frames * BytesPerSecond(head, format) / format.sampleRate;
    return static_cast<size_t>(std::min(bytes, cap));
}

// Live Ogg Vorbis goes to the page-by-page decoder; everything else is recognised
// by content like a file. The first bytes are waited for, so that recognition
// sees as much as it would of a file.
FMOD_RESULT OpenStreamFormat(const std::shared_ptr<NetStream>& stream, TagList& tags, OpenedSound& out,
                             const OpenHints& hints) {
    stream->WaitForBuffered(kProbeBytes, kOpenTimeoutMs);
    uint8_t head[64];
    const size_t got = stream->Peek(head, sizeof head);
    if (OggFirstPacketStartsWith(head, got, "\x01vorbis", 7)) {
        NetStream* titles = stream.get();  // outlives the decoder: NetDecoder holds it
        const FMOD_RESULT r = OpenOggStream(std::make_unique<NetReader>(stream),
                                            [titles](const StreamTitle& t) { titles->ApplyTitle(t); }, &out.decoder);
        if (r == FMOD_OK) out.format = out.decoder->Format();
        return r;
    }
    const FMOD_RESULT r = OpenByContent(std::make_unique<NetReader>(stream), tags, out, hints);
    if (r != FMOD_OK) return r;
    if (!out.decoder) return FMOD_ERR_FORMAT;  // a playlist sent as a stream
    return FMOD_OK;
}

}  // namespace

void AddHeaderTags(const ResponseHead& head, TagList& tags) {
    const FMOD_TAGTYPE type = head.icy ? FMOD_TAGTYPE_SHOUTCAST : FMOD_TAGTYPE_ICECAST;
    for (const auto& header : head.headers) {
        for (const char* wanted : kHeaderTags) {
            if (header.first == wanted) tags.Add(type, header.first, AnyTextToUtf8(header.second));
        }
    }
}

FMOD_SOUND_TYPE SoundTypeForContent(const std::string* contentType) {
    if (!contentType) return FMOD_SOUND_TYPE_UNKNOWN;
    std::string type = contentType->substr(0, contentType->find(';'));
    for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (type == "audio/mpeg" || type == "audio/mp3" || type == "audio/mpg") return FMOD_SOUND_TYPE_MPEG;
    if (type == "application/ogg" || type == "audio/ogg" || type == "audio/vorbis") return FMOD_SOUND_TYPE_OGGVORBIS;
    if (type == "audio/wav" || type == "audio/x-wav" || type == "audio/wave") return FMOD_SOUND_TYPE_WAV;
    return FMOD_SOUND_TYPE_UNKNOWN;
}

FMOD_RESULT OpenUrl(const char* text, FMOD_MODE mode, unsigned int bufferSize, FMOD_TIMEUNIT bufferUnit,
                    OpenedUrl& out, const OpenHints& hints) {
    Url url;
    if (!ParseUrl(text, url)) return FMOD_ERR_NET_URL;
    const bool openOnly = (mode & FMOD_OPENONLY) != 0;
    auto stream = std::make_shared<NetStream>(url, !openOnly);
    ResponseHead head;
    if (FMOD_RESULT r = stream->WaitForHead(&head); r != FMOD_OK) return r;
    const FMOD_TAGTYPE type = head.icy ? FMOD_TAGTYPE_SHOUTCAST : FMOD_TAGTYPE_ICECAST;
    if (openOnly) {
        // One connection for the headers; it closes when `stream` goes.
        AddHeaderTags(head, *out.tags);
        out.opened.format.type = SoundTypeForContent(FindHeader(head, "content-type"));
        return FMOD_OK;
    }
    // The container's own tags first, the headers last: the last tag of a fresh stream marks it as one.
    TagList containerTags;
    OpenedSound opened;
    if (FMOD_RESULT r = OpenStreamFormat(stream, containerTags, opened, hints); r != FMOD_OK) return r;
    if (opened.format.type == FMOD_SOUND_TYPE_WAV || opened.format.type == FMOD_SOUND_TYPE_AIFF) stream->SetWholeReads();
    for (const Tag& tag : *containerTags.Snapshot()) out.tags->Add(tag.type, tag.name, tag.data);
    AddHeaderTags(head, *out.tags);
    stream->AttachTags(out.tags, type);
    out.cancel = [stream] { stream->Cancel(); };
    stream->WaitForBuffered(PrebufferBytes(bufferSize, bufferUnit, head, opened.format), kOpenTimeoutMs);
    out.opened.decoder = std::make_unique<NetDecoder>(std::move(opened.decoder), stream);
    out.opened.format = out.opened.decoder->Format();
    return FMOD_OK;
}

}  // namespace engine
