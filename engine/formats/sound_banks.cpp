#include "formats/sound_banks.h"

#include <mutex>

namespace engine {
namespace {

// Larger files are not taken for banks (Windows' own is 3 MB, big SoundFonts some 150 MB).
constexpr uint64_t kMaxBankBytes = 512ull << 20;

std::mutex bankLock;
SoundBankSource bankSource;
std::shared_ptr<const midi::Bank> loadedBank;

std::shared_ptr<const midi::Bank> LoadFirstBank() {
    if (bankSource.paths && bankSource.openFile) {
        for (const std::string& path : bankSource.paths()) {
            FMOD_RESULT result = FMOD_OK;
            std::unique_ptr<Reader> reader = bankSource.openFile(path.c_str(), &result);
            std::vector<uint8_t> bytes;
            if (!reader || !ReadWhole(*reader, kMaxBankBytes, bytes)) continue;
            auto bank = std::make_shared<midi::Bank>();
            if (midi::ReadBank(bytes.data(), bytes.size(), *bank) == midi::BankResult::Ok && !bank->presets.empty())
                return bank;
        }
    }
    return std::make_shared<const midi::Bank>(midi::BuiltInBank());
}

}  // namespace

bool ReadWhole(Reader& reader, uint64_t maxBytes, std::vector<uint8_t>& out) {
    out.clear();
    if (!reader.Seek(0)) return false;
    const int64_t size = reader.Size();
    if (size > 0 && uint64_t(size) > maxBytes) return false;
    if (size > 0) out.reserve(size_t(size));
    uint8_t chunk[64 * 1024];
    for (;;) {
        const int64_t n = reader.Read(chunk, sizeof chunk);
        if (n < 0) return false;
        if (n == 0) return true;
        if (out.size() + uint64_t(n) > maxBytes) return false;
        out.insert(out.end(), chunk, chunk + n);
    }
}

void SetSoundBankSource(const SoundBankSource& source) {
    std::lock_guard<std::mutex> lock(bankLock);
    bankSource = source;
}

std::shared_ptr<const midi::Bank> CurrentSoundBank() {
    std::lock_guard<std::mutex> lock(bankLock);
    if (!loadedBank) loadedBank = LoadFirstBank();
    return loadedBank;
}

}  // namespace engine
