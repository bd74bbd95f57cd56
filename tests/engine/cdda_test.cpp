// Audio CDs as one stream, read from disc images made here: a table of contents with a
// data track between two audio tracks, CD-Text, failing sectors and a disc taken out.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "api/system.h"
#include "engine_support.h"
#include "formats/cd_text.h"
#include "formats/cdda_decoder.h"
#include "io/file_reader.h"

using namespace engine;
using namespace enginetest;

namespace {

// Every audio frame of the disc is recognisable: left counts up, right down.
int16_t Left(uint64_t frame) { return static_cast<int16_t>(frame % 30000 - 15000); }

struct DiscImage : CdDevice {
    std::vector<CdTrack> tracks;
    std::vector<uint8_t> sectors;  // the whole disc from sector 0
    std::vector<uint8_t> cdText;
    std::set<uint32_t> bad;        // sectors that never read
    bool removed = false;
    std::vector<uint32_t> reads;   // sizes asked for

    // Audio tracks 1 (2 s) and 3 (1.5 s) around a data track 2 (1 s), from sector 150.
    DiscImage() {
        tracks = {{1, 150, 150, true}, {2, 300, 75, false}, {3, 375, 113, true}};
        sectors.assign(488 * kCdSectorBytes, 0x55);
        uint64_t frame = 0;
        for (const CdTrack& t : tracks) {
            if (!t.audio) continue;
            for (uint64_t i = 0; i < uint64_t(t.sectors) * kCdFramesPerSector; ++i, ++frame) {
                uint8_t* at = &sectors[t.start * kCdSectorBytes + i * 4];
                const int16_t l = Left(frame), r = static_cast<int16_t>(-l);
                std::memcpy(at, &l, 2);
                std::memcpy(at + 2, &r, 2);
            }
        }
    }
    CdStatus ReadToc(std::vector<CdTrack>* out) override {
        *out = tracks;
        return removed ? CdStatus::kNoDisc : CdStatus::kOk;
    }
    CdStatus ReadAudio(uint32_t sector, uint32_t count, uint8_t* out) override {
        reads.push_back(count);
        if (removed) return CdStatus::kNoDisc;
        if (bad.lower_bound(sector) != bad.lower_bound(sector + count)) return CdStatus::kFailed;
        std::memcpy(out, &sectors[sector * kCdSectorBytes], count * kCdSectorBytes);
        return CdStatus::kOk;
    }
    bool ReadCdText(std::vector<uint8_t>* packs) override {
        *packs = cdText;
        return !cdText.empty();
    }
};

// CD-Text packs of one type holding `strings` (one per track from 0), 12 bytes a pack.
void AddPacks(std::vector<uint8_t>& packs, uint8_t type, const std::vector<std::string>& strings) {
    std::string all;
    std::vector<int> trackAt, positionAt;  // each byte's track, and its place in its string
    for (size_t i = 0; i < strings.size(); ++i) {
        for (size_t c = 0; c <= strings[i].size(); ++c) positionAt.push_back(int(std::min<size_t>(c, 15)));
        all += strings[i] + '\0';
        trackAt.resize(all.size(), int(i));
    }
    for (size_t at = 0; at < all.size(); at += 12) {
        uint8_t pack[18] = {type, static_cast<uint8_t>(trackAt[at]), 0, static_cast<uint8_t>(positionAt[at])};
        std::memcpy(pack + 4, all.data() + at, std::min<size_t>(12, all.size() - at));
        const uint16_t crc = CdTextPackCrc(pack);
        pack[16] = static_cast<uint8_t>(crc >> 8);
        pack[17] = static_cast<uint8_t>(crc);
        packs.insert(packs.end(), pack, pack + 18);
    }
}

struct OpenedDisc {
    FMOD_RESULT result;
    std::shared_ptr<TagList> tags = std::make_shared<TagList>();
    OpenedSound sound;
};

std::unique_ptr<OpenedDisc> Open(std::unique_ptr<DiscImage> disc) {
    auto opened = std::make_unique<OpenedDisc>();
    opened->result = OpenCdda(std::move(disc), opened->tags, opened->sound);
    return opened;
}

}  // namespace

TEST(Cdda, TheAudioTracksPlayAsOneStreamSeekableToTheFrame) {
    auto opened = Open(std::make_unique<DiscImage>());
    ASSERT_EQ(opened->result, FMOD_OK);
    const StreamFormat& f = opened->sound.format;
    EXPECT_EQ(f.type, FMOD_SOUND_TYPE_CDDA);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.sampleRate, 44100u);
    EXPECT_EQ(f.lengthFrames, (150u + 113u) * 588u);  // the data track skipped
    Decoder& d = *opened->sound.decoder;
    const std::vector<float> all = DecodeAll(d, 1000);
    ASSERT_EQ(all.size(), f.lengthFrames * 2);
    for (uint64_t frame = 0; frame < f.lengthFrames; frame += 997) {
        ASSERT_EQ(all[frame * 2], Left(frame) / 32768.0f) << frame;
        ASSERT_EQ(all[frame * 2 + 1], -Left(frame) / 32768.0f) << frame;
    }
    for (uint64_t target : {uint64_t{88199}, uint64_t{88200}, uint64_t{12345}, f.lengthFrames - 1, uint64_t{0}}) {
        ASSERT_TRUE(d.SeekToFrame(target));
        const std::vector<float> part = DecodeFrames(d, 3000);
        ASSERT_EQ(part.size(), std::min<uint64_t>(3000, f.lengthFrames - target) * 2) << target;
        EXPECT_TRUE(std::equal(part.begin(), part.end(), all.begin() + long(target * 2))) << target;
    }
}

TEST(Cdda, TagsNameTheDiscAndFollowTheTrackBeingDecoded) {
    auto plain = Open(std::make_unique<DiscImage>());
    EXPECT_EQ(TagFields(*plain->tags), (Fields{{"TRACKS", "2"}, {"TITLE", "Track 1"}}));
    DecodeFrames(*plain->sound.decoder, 150 * 588 + 10);
    EXPECT_EQ(TagValue(*plain->tags, "TITLE"), "Track 3");

    auto disc = std::make_unique<DiscImage>();
    AddPacks(disc->cdText, 0x80, {"Die Platte", "Erstes St\xFC" "ck mit langem Namen", "", "Dritte St\xFC" "ck"});
    AddPacks(disc->cdText, 0x81, {"Die Band", "\t", "", "Gast"});  // a tab: as the track before
    disc->cdText[18 + 5] ^= 1;  // a damaged pack: the title running through it is lost, the others read
    auto text = Open(std::move(disc));
    EXPECT_EQ(TagFields(*text->tags),
              (Fields{{"TRACKS", "2"}, {"ALBUM", "Die Platte"}, {"ARTIST", "Die Band"}, {"TITLE", "Track 1"}}));
    const uint64_t before = text->tags->ChangeCount();
    DecodeFrames(*text->sound.decoder, 150 * 588 + 10);
    EXPECT_EQ(TagValue(*text->tags, "TITLE"), "Dritte St\xC3\xBC" "ck");
    EXPECT_EQ(TagValue(*text->tags, "ARTIST"), "Gast");
    EXPECT_GT(text->tags->ChangeCount(), before);
    const uint8_t known[18] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};  // worked out with another CRC-16/CCITT
    EXPECT_EQ(CdTextPackCrc(known), 0x6EC3);
}

TEST(Cdda, ASectorThatWillNotReadIsSilenceAndADiscTakenOutEndsTheStream) {
    auto disc = std::make_unique<DiscImage>();
    DiscImage& image = *disc;
    image.bad = {150 + 40};  // in track 1's first block
    auto opened = Open(std::move(disc));
    const std::vector<float> all = DecodeAll(*opened->sound.decoder, 4096);
    ASSERT_EQ(all.size(), opened->sound.format.lengthFrames * 2);  // reading went on
    size_t silent = 0;
    for (uint64_t frame = 0; frame < all.size() / 2; ++frame) silent += all[frame * 2] == 0 && Left(frame) != 0;
    EXPECT_EQ(silent, 588u);  // that sector alone
    EXPECT_EQ(std::vector<uint32_t>(image.reads.begin(), image.reads.begin() + 3), (std::vector<uint32_t>{75, 18, 75}));

    image.removed = true;
    ASSERT_TRUE(opened->sound.decoder->SeekToFrame(0));
    EXPECT_TRUE(DecodeFrames(*opened->sound.decoder, 4096).empty());
}

TEST(Cdda, DiscsWithoutAudioOrWithoutADiscAreRefused) {
    auto none = std::make_unique<DiscImage>();
    none->removed = true;
    EXPECT_EQ(Open(std::move(none))->result, FMOD_ERR_CDDA_NODISC);
    auto data = std::make_unique<DiscImage>();
    data->tracks = {{1, 150, 300, false}};
    EXPECT_EQ(Open(std::move(data))->result, FMOD_ERR_CDDA_NOAUDIO);
}

// Through the engine: a drive name opens the disc; open-only reads no sector.
TEST(Cdda, ADriveNameOpensTheDiscAndOpenOnlyReadsTheTableOfContentsAlone) {
    static DiscImage* last = nullptr;
    const Platform withDrive{OpenStdioFile, nullptr, [](const char* path, FMOD_RESULT* result) {
                                 *result = FMOD_OK;
                                 auto disc = std::make_unique<DiscImage>();
                                 last = disc.get();
                                 return std::unique_ptr<CdDevice>(path[0] == 'D' ? std::move(disc) : nullptr);
                             }};
    System system(withDrive);
    ASSERT_EQ(system.Init(2), FMOD_OK);
    std::shared_ptr<Sound> sound;
    ASSERT_EQ(system.CreateStream("D:\\", 0xC9 | FMOD_OPENONLY, &sound), FMOD_OK);
    EXPECT_EQ(sound->format.type, FMOD_SOUND_TYPE_CDDA);
    EXPECT_EQ(sound->format.lengthFrames, 263u * 588u);
    EXPECT_TRUE(last->reads.empty());
    EXPECT_EQ(system.CreateStream("E:", 0xC9, &sound), FMOD_ERR_FILE_NOTFOUND);  // not a CD drive: a path like any
}
