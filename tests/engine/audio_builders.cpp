#include "audio_builders.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace enginetest {

void PutLe16(Bytes& b, uint32_t v) { b.push_back(v & 0xFF); b.push_back((v >> 8) & 0xFF); }
void PutLe32(Bytes& b, uint32_t v) { PutLe16(b, v & 0xFFFF); PutLe16(b, v >> 16); }
void PutBe16(Bytes& b, uint32_t v) { b.push_back((v >> 8) & 0xFF); b.push_back(v & 0xFF); }
void PutBe32(Bytes& b, uint32_t v) { PutBe16(b, v >> 16); PutBe16(b, v & 0xFFFF); }
void PutText(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

void PutChunk(Bytes& b, const std::string& id, const Bytes& body, bool bigEndianSize) {
    PutText(b, id);
    if (bigEndianSize) PutBe32(b, static_cast<uint32_t>(body.size()));
    else PutLe32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
}

std::vector<float> Sine(double hz, uint32_t rate, int channels, uint32_t frames) {
    std::vector<float> out(static_cast<size_t>(frames) * channels);
    for (uint32_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out[static_cast<size_t>(i) * channels + c] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * hz * i / rate));
    return out;
}

Bytes EncodePcmLe(const std::vector<float>& samples, int bytes) {
    Bytes out;
    const double full = std::ldexp(1.0, 8 * bytes - 1);
    for (float v : samples) {
        const int64_t q = static_cast<int64_t>(std::clamp(std::floor(v * full + 0.5), -full, full - 1));
        if (bytes == 1) { out.push_back(static_cast<uint8_t>(q + 128)); continue; }
        for (int k = 0; k < bytes; ++k) out.push_back(static_cast<uint8_t>((q >> (8 * k)) & 0xFF));
    }
    return out;
}

Bytes MakeWav(const WavLayout& s) {
    Bytes fmt, list, body{'W', 'A', 'V', 'E'}, file;
    const int container = (s.bits + 7) / 8;
    for (uint32_t v : {uint32_t(s.formatTag), uint32_t(s.channels)}) PutLe16(fmt, v);
    for (uint32_t v : {s.rate, s.rate * container * s.channels}) PutLe32(fmt, v);
    for (uint32_t v : {uint32_t(container * s.channels), uint32_t(s.bits)}) PutLe16(fmt, v);
    if (s.formatTag == 0xFFFE) {
        for (uint32_t v : {22u, uint32_t(s.bits)}) PutLe16(fmt, v);
        PutLe32(fmt, s.channels == 2 ? 3 : 0);
        PutLe16(fmt, s.subFormat);
        fmt.insert(fmt.end(), {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});  // the GUID's common tail
    }
    if (!s.info.empty()) PutText(list, "INFO");
    for (const auto& [id, text] : s.info) PutChunk(list, id, Bytes(text.c_str(), text.c_str() + text.size() + 1));
    PutChunk(body, "fmt ", fmt);
    if (!list.empty() && !s.infoAfterData) PutChunk(body, "LIST", list);
    PutChunk(body, "data", s.data);
    if (s.declaredDataSize != 0xFFFFFFFFu) {
        const size_t at = body.size() - s.data.size() - (s.data.size() & 1) - 4;
        for (int k = 0; k < 4; ++k) body[at + k] = uint8_t(s.declaredDataSize >> (8 * k));
    }
    if (!list.empty() && s.infoAfterData) PutChunk(body, "LIST", list);
    PutChunk(file, "RIFF", body);
    return file;
}

Bytes FloatWav(const std::vector<float>& samples, int channels, bool extensible) {
    WavLayout wav;
    wav.formatTag = extensible ? 0xFFFE : 3, wav.subFormat = 3, wav.bits = 32, wav.channels = channels;
    wav.data.assign(reinterpret_cast<const uint8_t*>(samples.data()), reinterpret_cast<const uint8_t*>(samples.data() + samples.size()));
    return MakeWav(wav);
}

namespace {

// One folder per test process, removed when the process ends.
struct TempFolderOwner {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("engine_test_" + std::to_string(std::random_device{}()));
    TempFolderOwner() {
        for (std::error_code ec; !std::filesystem::create_directory(path, ec) && !ec;) path += "_";  // taken: another name
    }
    ~TempFolderOwner() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

}  // namespace

std::string TempFolder() {
    static TempFolderOwner owner;
    return owner.path.string();
}

std::string ToneWav(const std::string& name, uint32_t ms) {
    WavLayout s;
    s.data = EncodePcmLe(Sine(440, 44100, 2, static_cast<uint32_t>(uint64_t(44100) * ms / 1000)), 2);
    return WriteTempFile(name, MakeWav(s));
}

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
    const std::string path = TempFolder() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double SnrDb(const std::vector<float>& reference, const std::vector<float>& test) {
    double signal = 0, noise = 0;
    for (size_t i = 0; i < std::min(reference.size(), test.size()); ++i) {
        signal += double(reference[i]) * reference[i];
        noise += (double(reference[i]) - test[i]) * (double(reference[i]) - test[i]);
    }
    return noise == 0 ? 200.0 : 10.0 * std::log10(signal / noise);
}

double MaxDifference(const std::vector<float>& a, const std::vector<float>& b, size_t offset) {
    double worst = 0;
    for (size_t i = 0; i < b.size() && offset + i < a.size(); ++i)
        worst = std::max(worst, std::fabs(double(a[offset + i]) - b[i]));
    return worst;
}

ToneFit FitTone(const float* s, size_t count, double hz, uint32_t rate) {
    double ss = 0, cc = 0, sc = 0, xs = 0, xc = 0;
    for (size_t i = 0; i < count; ++i) {
        const double w = 2 * std::numbers::pi * hz * i / rate, sn = std::sin(w), cs = std::cos(w);
        ss += sn * sn, cc += cs * cs, sc += sn * cs, xs += s[i] * sn, xc += s[i] * cs;
    }
    const double det = ss * cc - sc * sc;
    const double a = (xs * cc - xc * sc) / det, b = (xc * ss - xs * sc) / det;
    double tone = 0, rest = 0;
    for (size_t i = 0; i < count; ++i) {
        const double w = 2 * std::numbers::pi * hz * i / rate, fit = a * std::sin(w) + b * std::cos(w);
        tone += fit * fit;
        rest += (s[i] - fit) * (s[i] - fit);
    }
    return {std::hypot(a, b), 10 * std::log10(rest / tone)};
}

}  // namespace enginetest
