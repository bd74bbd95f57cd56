#include "app/hover_images.h"

namespace {

struct ImagePair {
    ImageId normal;
    ImageId hover;
};

constexpr ImagePair kPairs[] = {
    {ImageId::CloseNormal, ImageId::CloseHover},
    {ImageId::MinimizeNormal, ImageId::MinimizeHover},
    {ImageId::AboutNormal, ImageId::AboutHover},
    {ImageId::PlayNormal, ImageId::PlayHover},
    {ImageId::PauseNormal, ImageId::PauseHover},
    {ImageId::StopNormal, ImageId::StopHover},
    {ImageId::PreviousNormal, ImageId::PreviousHover},
    {ImageId::NextNormal, ImageId::NextHover},
    {ImageId::MiniPlayNormal, ImageId::MiniPlayHover},
    {ImageId::MiniPauseNormal, ImageId::MiniPauseHover},
    {ImageId::MiniPreviousNormal, ImageId::MiniPreviousHover},
    {ImageId::MiniNextNormal, ImageId::MiniNextHover},
};

} // namespace

ImageId HoverImageOf(ImageId shown) {
    for (const ImagePair& pair : kPairs)
        if (pair.normal == shown) return pair.hover;
    return shown;
}

ImageId NormalImageOf(ImageId shown) {
    for (const ImagePair& pair : kPairs)
        if (pair.hover == shown) return pair.normal;
    return shown;
}
