#pragma once
#include <windows.h>

#include "resources/images.h"

// A 24-bit bitmap of the image, rows top-down. The caller owns it.
HBITMAP CreateBitmapFromImage(const Image& image);

// An opaque icon of the image. The caller owns it.
HICON CreateIconFromImage(const Image& image);

// Makes every button image once; they live until the program ends.
void CreateButtonImages();
void DeleteButtonImages();
