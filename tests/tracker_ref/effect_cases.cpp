#include "effect_cases.h"

namespace trackref {
namespace {

enum : int { kMod = 1, kS3m = 2, kXm = 4, kIt = 8, kAll = 15 };

// One effect family: 16 rows in the MOD/XM letters and the same in the S3M/IT letters,
// played four times over in one pattern. The note returns every few rows, so that a
// drifting pitch cannot pile up.
struct Family {
    const char* name;
    int formats;
    std::vector<std::string> modXm, s3mIt;
};

const std::vector<Family> kFamilies = {
    {"arpeggio", kAll, {"C-5 01 .. 047", "7*... .. .. 047", "E-5 01 .. 037", "7*... .. .. 000"},
     {"C-5 01 .. J47", "7*... .. .. J47", "E-5 01 .. J37", "7*... .. .. J00"}},
    {"portamento", kAll, {"C-5 01 .. 104", "7*... .. .. 104", "C-5 01 .. 208", "7*... .. .. 200"},
     {"C-5 01 .. F04", "7*... .. .. F04", "C-5 01 .. E08", "7*... .. .. E00"}},
    {"fine portamento", kAll, {"C-5 01 .. E14", "7*... .. .. E14", "C-5 01 .. E28", "7*... .. .. E28"},
     {"C-5 01 .. FF4", "7*... .. .. FF4", "C-5 01 .. EE8", "7*... .. .. E00"}},
    {"tone portamento", kAll, {"C-5 01 .. ...", "G-5 .. .. 304", "6*... .. .. 300", "A-4 .. .. 308", "7*... .. .. 300"},
     {"C-5 01 .. ...", "G-5 .. .. G04", "6*... .. .. G00", "A-4 .. .. G08", "7*... .. .. G00"}},
    {"vibrato", kAll, {"C-5 01 .. 468", "7*... .. .. 400", "C-5 01 .. 4F2", "7*... .. .. 600"},
     {"C-5 01 .. H68", "7*... .. .. H00", "C-5 01 .. HF2", "7*... .. .. K00"}},
    {"tremolo", kAll, {"C-5 01 .. 768", "7*... .. .. 700", "C-5 01 .. 7F4", "7*... .. .. 700"},
     {"C-5 01 .. R68", "7*... .. .. R00", "C-5 01 .. RF4", "7*... .. .. R00"}},
    {"volume slide", kAll, {"C-5 01 .. A01", "7*... .. .. A01", "8*... .. .. A20"},
     {"C-5 01 .. D01", "7*... .. .. D01", "8*... .. .. D20"}},
    {"fine volume slide", kAll, {"C-5 01 .. EB4", "7*... .. .. EB4", "8*... .. .. EA6"},
     {"C-5 01 .. DF4", "7*... .. .. DF4", "8*... .. .. D6F"}},
    {"sample offset", kAll, {"C-5 01 .. 908", "3*", "C-5 01 .. 904", "3*", "C-5 01 .. 90C", "3*", "C-5 01 .. 900", "3*"},
     {"C-5 01 .. O08", "3*", "C-5 01 .. O04", "3*", "C-5 01 .. O0C", "3*", "C-5 01 .. O00", "3*"}},
    {"retrigger", kAll, {"C-5 01 .. E93", "7*... .. .. E93", "C-5 01 .. E92", "7*... .. .. E94"},
     {"C-5 01 .. Q03", "7*... .. .. Q03", "C-5 01 .. Q52", "7*... .. .. Q00"}},
    {"tremor", kXm | kS3m | kIt, {"C-5 01 .. T21", "7*... .. .. T21", "C-5 01 .. T13", "7*... .. .. T00"},
     {"C-5 01 .. I21", "7*... .. .. I21", "C-5 01 .. I13", "7*... .. .. I00"}},
    {"note cut and delay", kAll, {"C-5 01 .. EC3", "3*", "C-5 01 .. ED3", "3*", "C-5 01 .. EC0", "3*", "E-5 01 .. ED5", "3*"},
     {"C-5 01 .. SC3", "3*", "C-5 01 .. SD3", "3*", "C-5 01 .. SC0", "3*", "E-5 01 .. SD5", "3*"}},
    {"speed and tempo", kAll, {"C-5 01 .. F03", "3*", "C-5 01 .. F50", "3*", "C-5 01 .. F0A", "3*", "C-5 01 .. FC8", "3*"},
     {"C-5 01 .. A03", "3*", "C-5 01 .. T50", "3*", "C-5 01 .. A0A", "3*", "C-5 01 .. TC8", "3*"}},
    {"global volume", kXm | kS3m | kIt, {"C-5 01 .. G10", "3*", "C-5 01 .. G40", "3*", "C-5 01 .. H02", "7*... .. .. H20"},
     {"C-5 01 .. V10", "3*", "C-5 01 .. V30", "3*", "C-5 01 .. V08", "7*... .. .. ..."}},
    {"panning", kAll, {"C-5 01 .. 800", "3*", "C-5 01 .. 8FF", "3*", "C-5 01 .. E84", "3*", "C-5 01 .. 8C0", "3*"},
     {"C-5 01 .. X00", "3*", "C-5 01 .. XFF", "3*", "C-5 01 .. S84", "3*", "C-5 01 .. XC0", "3*"}},
};

// Control flow needs whole patterns: a loop, a break into the middle of the next pattern,
// a delay, and a jump back to that pattern's unplayed start, which ends the song when it
// reaches the row it was entered at.
const std::vector<std::vector<std::string>> kFlowModXm = {
    {"C-5 01 .. ...", "3*", "... .. .. E60", "E-5 01 .. ...", "... .. .. E62", "C-5 01 .. D08"},
    {"8*", "C-5 01 .. ...", "G-5 01 .. EE3", "3*", "C-5 01 .. B02"}, {"E-5 01 .. ...", "7*", "C-5 01 .. B01"}};
const std::vector<std::vector<std::string>> kFlowS3mIt = {
    {"C-5 01 .. ...", "3*", "... .. .. SB0", "E-5 01 .. ...", "... .. .. SB2", "C-5 01 .. C08"},
    {"8*", "C-5 01 .. ...", "G-5 01 .. SE3", "3*", "C-5 01 .. B02"}, {"E-5 01 .. ...", "7*", "C-5 01 .. B01"}};

// Instruments and sample kinds of XM and IT, each a song of its own.
std::vector<WrittenCase> InstrumentCases() {
    std::vector<WrittenCase> cases;
    EnvelopeDesc volume{{{0, 64}, {8, 24}, {16, 48}, {40, 0}}, 2};
    EnvelopeDesc looped{{{0, 64}, {6, 10}, {12, 64}}, -1, 0, 2};
    EnvelopeDesc pan{{{0, -32}, {20, 32}, {40, 0}}};
    const std::vector<std::string> keyed = {"C-5 01 .. ...", "7*", "=== .. .. ...", "7*", "E-5 01 .. ...", "3*", "=== .. .. ...", "11*"};

    SongDesc s = BaseSong(Format::Xm);
    s.instruments = {{1, volume, pan, {}, 0x300}};
    s.patterns = {keyed};
    cases.push_back({"xm envelopes, key-off and fade-out", s});
    s.instruments = {{1, looped, {}, {}, 0x80}};
    cases.push_back({"xm envelope loop", s});
    s.instruments = {InstrumentDesc{}};
    cases.push_back({"xm key-off without envelope", s});
    s.instruments = {{1, {}, {}, {}, 0, {0, 10, 12, 20}}};
    s.patterns = {{"C-5 01 .. ...", "15*", "E-5 01 .. ...", "15*"}};
    cases.push_back({"xm auto-vibrato", s});
    s.instruments = {};
    s.samples[0] = {Wave::Saw, 3000, 40, 2, 1000, 3000};
    cases.push_back({"xm ping-pong loop", s});
    s.samples[0] = {Wave::Sine, 4000, 32, 1, 0, 0, true};
    s.linear = false;
    s.patterns = {{"C-5 01 .. 104", "7*... .. .. 104", "C-5 01 .. ...", "G-5 .. .. 306", "6*... .. .. 300"}};
    cases.push_back({"xm amiga frequencies, 16-bit sample", s});
    s = BaseSong(Format::Xm);
    s.patterns = {{"C-5 01 20 ...", "3*... .. 62 ...", "C-5 01 40 ...", "3*... .. 73 ...", "C-5 01 A4 ...", "3*... .. B6 ...",
                   "C-5 01 C0 ...", "3*... .. D2 ...", "C-5 01 50 ...", "G-5 .. F4 ...", "6*... .. F0 ..."}};
    cases.push_back({"xm volume column", s});
    s.instruments = {{1, volume, {}, {}}};
    s.patterns = {{"C-5 01 .. K04", "7*", "C-5 01 .. L10", "3*", "... .. .. P0F", "3*... .. .. P00", "C-5 01 .. X14",
                   "7*... .. .. X10", "C-5 01 .. R13", "7*... .. .. R00"}};
    cases.push_back({"xm K, L, P, X and R effects", s});

    s = BaseSong(Format::It);
    s.instruments = {{1, volume, pan, {}, 0x20}};
    s.patterns = {keyed};
    cases.push_back({"it envelopes, key-off and fade-out", s});
    s.instruments = {{1, looped, {}, {{{0, 0}, {10, 12}, {20, -12}}}, 0x10}};
    cases.push_back({"it pitch envelope", s});
    const std::vector<std::string> overlapping = {"C-5 01 .. ...", "1*", "E-5 01 .. ...", "1*", "C-5 01 .. ...", "3*", "G-5 01 .. ...", "7*"};
    s.patterns = {overlapping};
    s.instruments = {{1, volume, {}, {}, 0x40, {}, 1}};
    cases.push_back({"it new note action continue", s});
    s.instruments = {{1, volume, {}, {}, 0x40, {}, 2, 1, 0}};
    cases.push_back({"it note off, duplicate note cut", s});
    s.instruments = {{1, volume, {}, {}, 0x40, {}, 3, 2, 2}};
    cases.push_back({"it note fade, duplicate sample fade", s});
    EnvelopeDesc carried{{{0, 64}, {50, 0}}}, carriedPitch{{{0, 0}, {50, 24}}};
    carried.carry = carriedPitch.carry = true;
    s.instruments = {{1, carried, {}, carriedPitch}, {1, {{{0, 64}, {50, 0}}}}};
    s.patterns = {{"C-5 01 .. ...", "3*", "E-5 01 .. ...", "3*", "G-5 02 .. ...", "3*", "C-5 01 .. ...", "3*", "E-5 01 .. ...", "3*"}};
    cases.push_back({"it envelope carry", s});
    s.samples[0] = {Wave::Noise, 8000, 32, 1};
    s.instruments = {{1, {}, {}, {}, 0, {}, 0, 0, 0, 40, 100}};
    s.patterns = {{"C-5 01 .. ...", "7*", "C-5 01 .. Z20", "7*", "C-5 01 .. Z7F", "7*"}};
    cases.push_back({"it resonant filter", s});
    s.instruments = {{1, {}, {}, {{{0, -32}, {30, 32}, {60, 0}}, -1, -1, -1, true}, 0, {}, 0, 0, 0, 100, 60}};
    cases.push_back({"it filter envelope", s});
    s.samples[0] = {Wave::Saw, 6000, 40, 1, 4000, 6000};
    s.samples[0].sustainStart = 500, s.samples[0].sustainEnd = 1500;
    s.instruments = {{1, volume, {}, {}, 0x20}};
    s.patterns = {keyed};
    cases.push_back({"it sample sustain loop, key-off", s});

    s = BaseSong(Format::It);
    s.instrumentMode = false;
    s.samples = {{Wave::Sine, 5000, 32, 1, 0, 0, false, true}, {Wave::Saw, 5000, 48, 2, 1000, 5000, true, true}};
    s.samples[0].vibrato[0] = 10, s.samples[0].vibrato[1] = 8;
    s.patterns = {{"C-5 01 .. ...", "7*", "C-5 02 .. ...", "7*", "E-5 01 .. ...", "7*", "G-5 02 .. ...", "7*"}};
    cases.push_back({"it sample mode, compressed samples, ping-pong", s});
    s.patterns = {{"C-5 01 20 ...", "3*... .. 57 ...", "C-5 01 40 ...", "3*... .. 63 ...", "C-5 01 80 ...",
                   "3*... .. 45 ...", "C-5 01 .. M20", "3*... .. .. N02", "C-5 01 .. Y48", "7*... .. .. Y00",
                   "C-5 01 .. ...", "G-5 .. C4 ...", "6*... .. C1 ...", "C-5 01 CD ...", "7*... .. .. ..."}};
    cases.push_back({"it volume column, channel volume, panbrello", s});
    s.extraFlags = 16 | 32;  // old effects, compatible Gxx
    s.patterns = {{"C-5 01 .. H68", "7*... .. .. H00", "C-5 01 .. ...", "G-5 02 .. G04", "6*... .. .. G00", "C-5 01 .. O08"}};
    cases.push_back({"it old effects and compatible Gxx", s});
    return cases;
}

}  // namespace

SongDesc BaseSong(Format format) {
    SongDesc song;
    song.format = format;
    song.samples = {SampleDesc{}};
    song.orders = {0};
    return song;
}

std::vector<WrittenCase> WrittenCases() {
    std::vector<WrittenCase> cases;
    for (int f = 0; f < 4; ++f) {
        const bool modXm = f == 0 || f == 2;
        for (const Family& family : kFamilies) {
            if (!(family.formats & 1 << f)) continue;
            SongDesc song = BaseSong(kFormats[f].first);
            const std::vector<std::string>& block = modXm ? family.modXm : family.s3mIt;
            song.patterns = {{}};
            for (int i = 0; i < 4; ++i) song.patterns[0].insert(song.patterns[0].end(), block.begin(), block.end());
            cases.push_back({std::string(kFormats[f].second) + " " + family.name, song});
        }
        SongDesc flow = BaseSong(kFormats[f].first);
        flow.patterns = modXm ? kFlowModXm : kFlowS3mIt;
        flow.orders = {0, 1, 2, 1};
        cases.push_back({std::string(kFormats[f].second) + " pattern flow", flow});
    }
    SongDesc wide = BaseSong(Format::Mod);
    wide.channels = 8;
    wide.patterns = {{"C-5 01 .. ...|... .. .. ...|E-5 01 .. ...|... .. .. ...|G-5 01 .. ...|... .. .. ...|C-6 01 .. ...",
                      "15*", "... .. .. ...|C-5 01 .. ...|... .. .. ...|E-5 01 .. ...|... .. .. ...|G-5 01 .. ...", "15*"}};
    cases.push_back({"mod 8 channels", wide});
    for (WrittenCase& c : InstrumentCases()) cases.push_back(c);
    return cases;
}

}  // namespace trackref
