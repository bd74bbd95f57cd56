// Player: renders tick by tick (each tick's frames mixed voice by voice), knows the song's
// length by simulating it once, and seeks by simulating from the start, moving the voices
// without mixing them.
#include "tracker/player.h"

#include <algorithm>
#include <cstring>

#include "channel.h"
#include "channel_effects.h"

namespace tracker {

// Songs are cut off after this long (a pattern loop that never ends, a hostile file of
// hundreds of slow patterns): no real module comes near it.
constexpr uint64_t kMaxSongSeconds = 2 * 3600;

class PlayerState {
public:
    SongState state;
    bool looping = false;
    bool lengthKnown = false;
    uint64_t length = 0;
};

static void StartOver(PlayerState& run, const Module& module, const RenderSettings& settings) {
    ResetSong(run.state, module, settings);
}

// The next tick: its effects applied and its frames known. False at the song's end.
static bool NextTick(PlayerState& run) {
    SongState& s = run.state;
    if (s.framePosition >= kMaxSongSeconds * s.settings.sampleRate) s.ended = true;
    // ProTracker's timer takes a new tempo from the next tick on; the others at once.
    bool tempoLags = s.module->type == ModuleType::Mod;
    uint64_t frames = tempoLags ? FramesOfTick(s) : 0;
    if (!AdvanceTick(s)) return false;
    s.tickFramesLeft = tempoLags ? frames : FramesOfTick(s);
    return true;
}

Player::Player(std::shared_ptr<const Module> module, const RenderSettings& settings)
    : module_(std::move(module)), settings_(settings), state_(std::make_unique<PlayerState>()) {
    if (settings_.sampleRate == 0) settings_.sampleRate = 44100;
    StartOver(*state_, *module_, settings_);
}

Player::~Player() = default;

void Player::SetLooping(bool looping) { state_->looping = looping; }

size_t Player::Render(float* stereo, size_t frames) {
    std::memset(stereo, 0, frames * 2 * sizeof(float));
    SongState& s = state_->state;
    size_t done = 0;
    bool restarted = false;
    while (done < frames) {
        if (s.tickFramesLeft == 0) {
            if (NextTick(*state_)) {
                restarted = false;
                continue;
            }
            if (!state_->looping || restarted) break;
            RestartSong(s);
            s.framePosition = 0;
            restarted = true;
            continue;
        }
        size_t n = static_cast<size_t>(std::min<uint64_t>(s.tickFramesLeft, frames - done));
        for (int i = 0; i < s.voicesUsed; ++i) {
            Voice& voice = s.voices[i].mix;
            if (voice.active) MixVoice(voice, s.settings.interpolation, stereo + done * 2, n);
        }
        done += n;
        s.tickFramesLeft -= n;
        s.framePosition += n;
    }
    return done;
}

uint64_t Player::LengthFrames() {
    if (state_->lengthKnown) return state_->length;
    PlayerState run;
    ResetSong(run.state, *module_, settings_);
    run.state.timingOnly = true;
    uint64_t total = 0;
    while (NextTick(run)) {
        total += run.state.tickFramesLeft;
        run.state.framePosition = total;
    }
    state_->length = total;
    state_->lengthKnown = true;
    return total;
}

bool Player::SeekToFrame(uint64_t frame) {
    if (frame > LengthFrames()) return false;
    bool looping = state_->looping;
    StartOver(*state_, *module_, settings_);
    state_->looping = looping;
    SongState& s = state_->state;
    while (s.framePosition < frame) {
        if (!NextTick(*state_)) break;
        uint64_t skip = std::min<uint64_t>(s.tickFramesLeft, frame - s.framePosition);
        for (int i = 0; i < s.voicesUsed; ++i) {
            Voice& voice = s.voices[i].mix;
            if (voice.active) SkipVoice(voice, static_cast<size_t>(skip));
        }
        s.tickFramesLeft -= skip;
        s.framePosition += skip;
    }
    return true;
}

}  // namespace tracker
