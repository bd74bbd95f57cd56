// Our FLAC decoder against libFLAC on the fixtures, native and in Ogg: whole decodes in any
// pieces, seeks to any sample (also through a lying seek table), a leading ID3v2 tag, and
// damaged files, where only the frames the damage hits may go missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "flac/ogg_flac.h"
#include "support.h"

namespace {

// A source that counts its reads, to see that the search does not crawl through the file.
struct CountingSource : flac::MemorySource {
    using MemorySource::MemorySource;
    size_t ReadAt(uint64_t offset, uint8_t* dst, size_t size) override {
        ++reads;
        return MemorySource::ReadAt(offset, dst, size);
    }
    int reads = 0;
};

// `decoder` has read the headers; `find(source, target, where)` runs the search.
template <typename Decoder, typename Find>
void ExpectSeeksMatch(const std::vector<uint8_t>& file, const Pcm& ref, const Decoder& decoder, Find find) {
    const uint64_t total = ref.totalSamples, block = decoder.metadata().info.maxBlockSize;
    std::vector<uint64_t> targets = {0, 1, block - 1, block, block + 1, 5 * block, total - block, total - 1, total,
                                     total + 12345};
    std::mt19937_64 random(total);
    for (int i = 0; i < 10; ++i) targets.push_back(random() % total);
    for (uint64_t target : targets) {
        SCOPED_TRACE("target " + std::to_string(target));
        CountingSource source(file.data(), file.size());
        flac::SeekTarget where;
        ASSERT_EQ(find(source, target, where), flac::Result::Ok);
        EXPECT_LE(source.reads, 24);  // halving the range, not crawling through it
        if (target >= total) {
            EXPECT_EQ(where.byteOffset, file.size());
            continue;
        }
        // From the frame the search named to the end, with the leading samples dropped: the reference from the target on.
        Decoder copy = decoder;
        copy.Restart(where.byteOffset);
        const Pcm rest = DecodeWithOurs({file.begin() + ptrdiff_t(where.byteOffset), file.end()}, file.size(), copy);
        ASSERT_LE(where.frameSample, target);
        ASSERT_EQ(rest.samples.size(), (total - where.frameSample) * ref.channels);  // so it began with that frame
        EXPECT_TRUE(std::equal(rest.samples.begin() + ptrdiff_t((target - where.frameSample) * ref.channels), rest.samples.end(),
                               ref.samples.begin() + ptrdiff_t(target * ref.channels)));
    }
}

TEST(FlacReference, EveryFixtureDecodesAndSeeksLikeLibFlac) {
    std::vector<std::string> names;  // every fixture the flac tool made, native (.flac) and in Ogg (.oga)
    for (const auto& entry : std::filesystem::directory_iterator(QUENDRA_FIXTURES))
        if (entry.path().extension() == ".flac" || entry.path().extension() == ".oga") names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 23u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const bool ogg = name.find(".oga") != std::string::npos;
        const std::vector<uint8_t> file = ReadFixtureFile(name);
        const Pcm ref = DecodeWithLibFlac(file, ogg);
        ASSERT_TRUE(ref.ok && ref.errors == 0 && !ref.samples.empty());
        for (size_t chunk : {file.size(), size_t(1), size_t(7), size_t(4099)}) {
            if (chunk == 1 && file.size() > 300000) continue;  // byte by byte is slow; the small files cover it
            const Pcm ours = ogg ? DecodeWithOurs(file, chunk, flac::OggFlacDecoder()) : DecodeWithOurs(file, chunk);
            EXPECT_EQ(ours.result, flac::Result::EndOfStream) << flac::ResultName(ours.result) << " chunk " << chunk;
            EXPECT_EQ(std::tie(ours.errors, ours.channels, ours.bitsPerSample, ours.totalSamples),
                      std::tie(ref.errors, ref.channels, ref.bitsPerSample, ref.totalSamples));
            EXPECT_TRUE(ours.samples == ref.samples) << "chunk " << chunk;
        }
        if (ogg) {
            flac::OggFlacDecoder decoder;
            decoder.Feed(file.data(), std::min<size_t>(file.size(), 100000));
            ASSERT_EQ(decoder.ReadHeaders(), flac::Result::Ok);
            ExpectSeeksMatch(file, ref, decoder, [&](flac::ByteSource& s, uint64_t t, flac::SeekTarget& w) {
                return decoder.FindSeekTarget(s, t, w);
            });
            continue;
        }
        flac::Metadata meta;
        ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), meta), flac::Result::Ok);
        flac::StreamDecoder decoder;
        decoder.Feed(file.data(), size_t(meta.audioOffset));
        ASSERT_EQ(decoder.ReadHeaders(), flac::Result::Ok);
        // Then with a lying seek table: every point's offset moved into the middle of another frame.
        for (bool lying : {false, true}) {
            if (lying && meta.seekTable.empty()) break;
            if (lying) for (flac::SeekPoint& point : meta.seekTable) point.byteOffset += 1234;
            ExpectSeeksMatch(file, ref, decoder, [&](flac::ByteSource& s, uint64_t t, flac::SeekTarget& w) {
                return flac::FindSeekTarget(s, meta, t, w);
            });
        }
    }
}

TEST(FlacReference, ALeadingId3TagIsSkippedAndAnImpossibleOneRefused) {
    const std::vector<uint8_t> file = ReadFixtureFile("s8_mono.flac");
    for (bool footer : {false, true}) {
        std::vector<uint8_t> tagged = {'I', 'D', '3', 4, 0, uint8_t(footer ? 0x10 : 0), 0, 0, 2, 44};  // 300 bytes
        tagged.resize(tagged.size() + 300 + (footer ? 10 : 0), 0xFF);  // 0xFF bytes look like frame syncs
        tagged.insert(tagged.end(), file.begin(), file.end());
        const Pcm got = DecodeWithOurs(tagged, 777);
        EXPECT_EQ(got.result, flac::Result::EndOfStream);
        EXPECT_TRUE(got.samples == DecodeWithLibFlac(file).samples);
    }
    const std::vector<uint8_t> huge = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};  // 256 MB claimed
    flac::StreamDecoder decoder;
    decoder.Feed(huge.data(), huge.size());
    EXPECT_EQ(decoder.ReadHeaders(), flac::Result::BadMetadata);
}

// Cut-off files, flipped bits, junk between frames: decoding runs to the end, every frame
// that comes out is libFLAC's at its position, and only the frames the damage hits are lost.
TEST(FlacReference, DamageLosesOnlyTheFramesItHits) {
    const std::vector<uint8_t> file = ReadFixtureFile("s16_stereo_44k.flac");
    const Pcm ref = DecodeWithLibFlac(file);
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), meta), flac::Result::Ok);
    const size_t audio = size_t(meta.audioOffset);
    const uint64_t total = meta.info.totalSamples, block = meta.info.maxBlockSize;
    // Decodes in pieces; each frame must be the reference's at its position, and between
    // `minSamples` and `maxSamples` per channel must come out.
    const auto expect = [&](const std::string& what, const std::vector<uint8_t>& bytes, uint64_t minSamples, uint64_t maxSamples) {
        for (size_t chunk : {size_t(3000), bytes.size()}) {
            SCOPED_TRACE(what + ", pieces of " + std::to_string(chunk));
            flac::StreamDecoder decoder;
            uint64_t samplesOut = 0;
            EXPECT_EQ(FeedInChunks(decoder, bytes, chunk, [&](const flac::DecodedFrame& f) {
                          const size_t at = size_t(f.header.firstSample) * ref.channels;
                          ASSERT_LE(at + f.samples.size(), ref.samples.size());
                          EXPECT_TRUE(std::equal(f.samples.begin(), f.samples.end(), ref.samples.begin() + ptrdiff_t(at)))
                              << "frame at sample " << f.header.firstSample;
                          samplesOut += f.header.blockSize;
                      }),
                      flac::Result::EndOfStream);
            EXPECT_GE(samplesOut, minSamples);
            EXPECT_LE(samplesOut, maxSamples);
        }
    };
    std::mt19937 random(7);
    std::vector<size_t> cuts = {audio, audio + 1, file.size() - 1, file.size() - 2};
    for (int i = 0; i < 12; ++i) cuts.push_back(audio + random() % (file.size() - audio));
    for (size_t cut : cuts) {  // only the frame the cut went through is lost
        const uint64_t before = total * (cut - audio) / (file.size() - audio);
        expect("cut at " + std::to_string(cut), {file.begin(), file.begin() + ptrdiff_t(cut)},
               before > 2 * block ? before - 2 * block : 0, total - 1);
    }
    for (int flips = 1; flips <= 5; ++flips) {
        std::vector<uint8_t> bytes = file;
        for (int i = 0; i < flips; ++i) bytes[audio + random() % (file.size() - audio)] ^= uint8_t(1u << (random() % 8));
        expect(std::to_string(flips) + " flipped bits", bytes, total - flips * block, total - 1);
    }
    // Junk that even holds sync codes, after the headers and between the first two frames.
    flac::FrameScratch scratch;
    flac::DecodedFrame frame;
    ASSERT_EQ(flac::DecodeFrame(&file[audio], file.size() - audio, meta.info, scratch, frame), flac::Result::Ok);
    const std::vector<uint8_t> junk = {0xFF, 0xF8, 0x12, 0x34, 0x00, 0xFF, 0xFF, 0xF9, 0xC9, 0x18, 0x00, 0xC2, 0xFF};
    std::vector<uint8_t> withJunk = file;
    withJunk.insert(withJunk.begin() + ptrdiff_t(audio + frame.frameBytes), junk.begin(), junk.end());
    withJunk.insert(withJunk.begin() + ptrdiff_t(audio), junk.begin(), junk.end());
    expect("junk", withJunk, total, total);
}

}  // namespace
