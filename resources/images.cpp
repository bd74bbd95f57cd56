#include "resources/images.h"

#include "resources/button_drawing.h"

static constexpr int kTransportWidth = 50;
static constexpr int kMiniWidth = 30;

// Ids come in normal/hover pairs, so the lowest bit picks the state and the rest the drawing.
Image MakeButtonImage(ImageId id) {
    int index = static_cast<int>(id);
    if (index < 0 || index >= static_cast<int>(ImageId::Count))
        return {};
    bool hover = (index % 2) == 1;
    ButtonPalette palette = hover ? HoverButtonPalette() : NormalButtonPalette();
    switch (static_cast<ImageId>(index - index % 2)) {
    case ImageId::CloseNormal:
        return MakeTitleButton(TitleMark::Cross, palette);
    case ImageId::MinimizeNormal:
        return MakeTitleButton(TitleMark::Bar, palette);
    case ImageId::AboutNormal:
        return MakeTitleButton(TitleMark::Question, palette);
    case ImageId::PlayNormal:
        return MakeTransportButton(TransportGlyph::Play, kTransportWidth, palette);
    case ImageId::PauseNormal:
        return MakeTransportButton(TransportGlyph::Pause, kTransportWidth, palette);
    case ImageId::StopNormal:
        return MakeTransportButton(TransportGlyph::Stop, kTransportWidth, palette);
    case ImageId::PreviousNormal:
        return MakeTransportButton(TransportGlyph::Previous, kTransportWidth, palette);
    case ImageId::NextNormal:
        return MakeTransportButton(TransportGlyph::Next, kTransportWidth, palette);
    case ImageId::MiniPlayNormal:
        return MakeTransportButton(TransportGlyph::Play, kMiniWidth, palette);
    case ImageId::MiniPauseNormal:
        return MakeTransportButton(TransportGlyph::Pause, kMiniWidth, palette);
    case ImageId::MiniPreviousNormal:
        return MakeTransportButton(TransportGlyph::Previous, kMiniWidth, palette);
    case ImageId::MiniNextNormal:
        return MakeTransportButton(TransportGlyph::Next, kMiniWidth, palette);
    default:
        return {};
    }
}
