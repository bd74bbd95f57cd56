// Writes every generated image as an enlarged PPM into the folder given, for looking at them.
#include <cstdio>
#include <string>

#include "resources/images.h"
#include "resources/skin.h"

static bool WritePpm(const std::string& path, const Image& image, int scale) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", image.width * scale, image.height * scale);
    for (int y = 0; y < image.height * scale; ++y)
        for (int x = 0; x < image.width * scale; ++x) {
            Rgb p = PixelAt(image, x / scale, y / scale);
            unsigned char rgb[3] = {p.r, p.g, p.b};
            std::fwrite(rgb, 1, 3, file);
        }
    return std::fclose(file) == 0;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resources_dump FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    bool ok = true;
    for (int i = 0; i < static_cast<int>(ImageId::Count); ++i)
        ok &= WritePpm(folder + "/button" + std::to_string(i) + ".ppm", MakeButtonImage(static_cast<ImageId>(i)), 8);
    ok &= WritePpm(folder + "/skin.ppm", SkinBackground(), 3);
    ok &= WritePpm(folder + "/skin_corner.ppm", SkinBackground(), 16);
    ok &= WritePpm(folder + "/tray.ppm", TrayIconImage(), 8);
    return ok ? 0 : 1;
}
