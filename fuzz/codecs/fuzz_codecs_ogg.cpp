// Ogg through the shared page and packet reader (and the comment parser on each packet),
// then through the engine: Vorbis (chains, comments, stb_vorbis) and FLAC in Ogg.
#include "containers/ogg_packets.h"
#include "containers/vorbis_comment.h"
#include "fuzz_codec_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    container::OggPackets packets(1 << 16);
    std::vector<uint8_t> packet;
    for (size_t at = 0; at < size;) {
        container::OggPage page;
        const container::OggParse r = container::ParseOggPage(data + at, size - at, page);
        if (r == container::OggParse::kNeedMoreData) break;
        if (r == container::OggParse::kOk) packets.AddPage(page);
        else packets.LosePage();
        at += r == container::OggParse::kOk ? page.totalBytes : container::NextOggCapture(data + at, size - at);
        container::VorbisComments comments;
        while (packets.Next(packet))
            if (packet.size() > 7) container::ParseVorbisComments(packet.data() + 7, packet.size() - 7, comments);
    }
    FuzzOpenAndDecode(engine::OpenVorbis, data, size);
    FuzzOpenAndDecode(engine::OpenFlac, data, size);
    return 0;
}
