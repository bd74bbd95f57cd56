#include "effects.h"

namespace tracker {

Effect ModEffect(int command) {
    static const Effect kByNumber[16] = {
        Effect::Arpeggio,          Effect::PortaUp,     Effect::PortaDown,    Effect::TonePorta,
        Effect::Vibrato,           Effect::TonePortaVolSlide, Effect::VibratoVolSlide, Effect::Tremolo,
        Effect::SetPan,            Effect::SampleOffset, Effect::VolumeSlide, Effect::PositionJump,
        Effect::SetVolume,         Effect::PatternBreak, Effect::ModExtended, Effect::SpeedOrTempo,
    };
    return command >= 0 && command < 16 ? kByNumber[command] : Effect::None;
}

Effect XmEffect(int command, uint8_t param) {
    if (command < 16) return command == 0 && param == 0 ? Effect::None : ModEffect(command);
    switch (command) {
        case 'G' - 'A' + 10: return Effect::GlobalVolume;
        case 'H' - 'A' + 10: return Effect::GlobalVolumeSlide;
        case 'K' - 'A' + 10: return Effect::KeyOff;
        case 'L' - 'A' + 10: return Effect::SetEnvelopePosition;
        case 'P' - 'A' + 10: return Effect::PanSlide;
        case 'R' - 'A' + 10: return Effect::Retrigger;
        case 'T' - 'A' + 10: return Effect::Tremor;
        case 'X' - 'A' + 10: return (param >> 4) == 1 || (param >> 4) == 2 ? Effect::ExtraFinePorta : Effect::None;
        default: return Effect::None;
    }
}

Effect LetterEffect(int letter) {
    static const Effect kByLetter[26] = {
        Effect::SetSpeed,          // A
        Effect::PositionJump,      // B
        Effect::PatternBreak,      // C
        Effect::VolumeSlide,       // D
        Effect::PortaDown,         // E
        Effect::PortaUp,           // F
        Effect::TonePorta,         // G
        Effect::Vibrato,           // H
        Effect::Tremor,            // I
        Effect::Arpeggio,          // J
        Effect::VibratoVolSlide,   // K
        Effect::TonePortaVolSlide, // L
        Effect::ChannelVolume,     // M
        Effect::ChannelVolumeSlide,// N
        Effect::SampleOffset,      // O
        Effect::PanSlide,          // P
        Effect::Retrigger,         // Q
        Effect::Tremolo,           // R
        Effect::S3mExtended,       // S
        Effect::SetTempo,          // T
        Effect::FineVibrato,       // U
        Effect::GlobalVolume,      // V
        Effect::GlobalVolumeSlide, // W
        Effect::SetPan,            // X
        Effect::Panbrello,         // Y
        Effect::MidiMacro,         // Z
    };
    return letter >= 1 && letter <= 26 ? kByLetter[letter - 1] : Effect::None;
}

VolumeColumn XmVolumeColumn(uint8_t value) {
    const uint8_t x = value & 0x0F;
    if (value >= 0x10 && value <= 0x50) return {VolumeCommand::Volume, static_cast<uint8_t>(value - 0x10)};
    switch (value >> 4) {
        case 0x6: return {VolumeCommand::VolumeSlideDown, x};
        case 0x7: return {VolumeCommand::VolumeSlideUp, x};
        case 0x8: return {VolumeCommand::FineVolumeDown, x};
        case 0x9: return {VolumeCommand::FineVolumeUp, x};
        case 0xA: return {VolumeCommand::VibratoSpeed, x};
        case 0xB: return {VolumeCommand::VibratoDepth, x};
        // The tracker sets the pan to x * 16 of 256: 0..60 of 64, never fully right.
        case 0xC: return {VolumeCommand::Panning, static_cast<uint8_t>(x * 4)};
        case 0xD: return {VolumeCommand::PanSlideLeft, x};
        case 0xE: return {VolumeCommand::PanSlideRight, x};
        case 0xF: return {VolumeCommand::TonePorta, x};
        default: return {};
    }
}

VolumeColumn ItVolumeColumn(uint8_t v) {
    const auto in = [v](int low, int high) { return v >= low && v <= high; };
    const auto from = [v](VolumeCommand command, int low) { return VolumeColumn{command, static_cast<uint8_t>(v - low)}; };
    if (in(0, 64)) return from(VolumeCommand::Volume, 0);
    if (in(65, 74)) return from(VolumeCommand::FineVolumeUp, 65);
    if (in(75, 84)) return from(VolumeCommand::FineVolumeDown, 75);
    if (in(85, 94)) return from(VolumeCommand::VolumeSlideUp, 85);
    if (in(95, 104)) return from(VolumeCommand::VolumeSlideDown, 95);
    if (in(105, 114)) return from(VolumeCommand::PortaDown, 105);
    if (in(115, 124)) return from(VolumeCommand::PortaUp, 115);
    if (in(128, 192)) return from(VolumeCommand::Panning, 128);
    if (in(193, 202)) return from(VolumeCommand::TonePorta, 193);
    if (in(203, 212)) return from(VolumeCommand::VibratoDepth, 203);
    return {};
}

}  // namespace tracker
