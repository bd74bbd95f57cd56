#include "display/mini_window_layout.h"

#include "ui/ticks.h"

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

} // namespace

int32_t TaskbarLayoutKeyOf(const ScreenRect& band) {
    return band.left ^ band.top ^ (band.right - band.left) ^ (band.bottom - band.top);
}

PlacedRect NarrowedBand(const ScreenRect& band) {
    return {band.left, 0, band.right - band.left - 100, band.bottom - band.top};
}

PlacedRect MiniWindowBeside(const ScreenRect& band) {
    const int32_t height = band.bottom - band.top;
    return {band.right, band.bottom - height, 101, height};
}

int32_t MiniButtonTop(int32_t height) {
    return height / 2 - 8;
}

VolumeNoticeStep StepVolumeNotice(VolumeNotice& notice, int32_t volume, uint32_t now) {
    VolumeNoticeStep step;
    if (notice.shownVolume == -1) notice.shownVolume = volume; // the first refresh announces nothing
    if (volume != notice.shownVolume) {
        notice.shownVolume = volume;
        notice.tick = now;
        step.showTextArea = true;
    }
    if (notice.tick != 0 && MoreThanElapsed(notice.tick, now, 1000)) {
        notice.tick = 0;
        step.hideTextAreaIfHovered = true;
    }
    step.drawNotice = notice.tick != 0 && TicksSince(notice.tick, now) < 1000;
    return step;
}

std::string VolumeNoticeText(int32_t volume) {
    return "Volume " + std::to_string(volume) + "%";
}

NoticeColours VolumeNoticeColours(int32_t volume) {
    if (volume == 0) return {Rgb(255, 0, 0), Rgb(150, 0, 0)};
    return {Rgb(0, 255, 0), Rgb(0, 150, 0)};
}
