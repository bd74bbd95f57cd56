#include "app/images_win.h"

#include <cstring>
#include <vector>

#include "ui/ui_state_win.h"

HBITMAP CreateBitmapFromImage(const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.bgr.size() < static_cast<size_t>(image.width) * image.height * 3)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    const size_t stride = (rowBytes + 3) & ~size_t{3};
    auto* target = static_cast<uint8_t*>(bits);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(target + y * stride, image.bgr.data() + y * rowBytes, rowBytes);
    GdiFlush();
    return bitmap;
}

HICON CreateIconFromImage(const Image& image) {
    HBITMAP color = CreateBitmapFromImage(image);
    if (!color) return nullptr;
    // All mask bits 0: every pixel of the colour bitmap is shown.
    const int maskStride = ((image.width + 15) / 16) * 2;
    std::vector<uint8_t> maskBits(static_cast<size_t>(maskStride) * image.height, 0);
    HBITMAP mask = CreateBitmap(image.width, image.height, 1, 1, maskBits.data());
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = mask ? CreateIconIndirect(&info) : nullptr;
    if (mask) DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

void CreateButtonImages() {
    for (int i = 0; i < static_cast<int>(ImageId::Count); ++i)
        g_ui.images[i] = CreateBitmapFromImage(MakeButtonImage(static_cast<ImageId>(i)));
}

void DeleteButtonImages() {
    for (HBITMAP& bitmap : g_ui.images) {
        if (bitmap) DeleteObject(bitmap);
        bitmap = nullptr;
    }
}
