// Writes small valid inputs for the engine's parsers: seeds for the fuzzers.
//   make_engine_seeds WAV-DIR AIFF-DIR PLAYLIST-DIR
#include <cstdio>
#include <filesystem>
#include <string>

#include "audio_builders.h"

using namespace enginetest;

namespace {

void Write(const std::string& dir, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(dir);
    FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
    if (!f) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const std::string wav = argv[1], aiff = argv[2], playlist = argv[3];

    for (int bits : {8, 16, 24, 32}) {
        WavLayout s;
        s.bits = bits;
        s.data = EncodePcmLe(Sine(440, 44100, 2, 64), bits / 8);
        s.info = {{"IART", "Artist"}, {"INAM", "Title"}};
        Write(wav, "pcm" + std::to_string(bits) + ".wav", MakeWav(s));
    }
    WavLayout ext;
    ext.formatTag = 0xFFFE;
    ext.subFormat = 3;
    ext.bits = 32;
    ext.data = Bytes(64 * 8, 0);
    ext.infoAfterData = true;
    ext.info = {{"ICMT", "after"}};
    Write(wav, "float_extensible.wav", MakeWav(ext));

    for (int bits : {16, 24}) {
        AiffLayout s;
        s.bits = bits;
        s.frames = 64;
        s.data = EncodePcmBe(Sine(440, 44100, 2, 64), bits / 8);
        s.textChunks = {{"NAME", "Title"}, {"AUTH", "Author"}};
        s.id3 = MakeId3v23({{"TPE1", Bytes{0, 'A', 'r', 't'}}});
        Write(aiff, "pcm" + std::to_string(bits) + ".aiff", MakeAiff(s));
    }
    AiffLayout sowt;
    sowt.aifc = true;
    sowt.compression = "sowt";
    sowt.frames = 16;
    sowt.data = EncodePcmLe(Sine(440, 44100, 2, 16), 2);
    Write(aiff, "sowt.aifc", MakeAiff(sowt));

    Write(playlist, "player.pls",
          Text("[playlist]\r\nFile1=C:\\a.mp3\r\nTitle1=A\r\nLength1=1\r\nNumberOfEntries=1\r\nVersion=2\r\n"));
    Write(playlist, "ext.m3u", Text("#EXTM3U\n#EXTINF:10,A - B\nhttp://host/x.mp3\nb.flac\n"));
    Write(playlist, "plain.m3u", Text("\xEF\xBB\xBF" "a.mp3\r\nsub\\b.ogg\r\n"));
    Write(playlist, "list.asx",
          Text("<asx version=\"3.0\"><!-- c --><entry><ref href=\"a&amp;b.wma\"/></entry>"
               "<Entry><REF HREF='x.mp3'></Entry></asx>"));
    return 0;
}
