// Pictures (GIF, BMP, JPEG, ICO) decoded by the platform's picture loader.
#pragma once

#include <windows.h>

#include <string_view>

#include "win32kit/handles.h"

namespace tockly::win {

struct Picture {
    win32kit::unique_hbitmap bitmap;
    int width = 0;
    int height = 0;
    explicit operator bool() const { return bitmap != nullptr; }
};

// Decodes picture bytes; an empty Picture when they are not a picture.
Picture decode_picture(std::string_view bytes);
// Loads a picture file; an empty Picture when it is missing or not a picture.
Picture load_picture_file(std::string_view utf8_path);
// The picture at another size, white being its see-through colour; colours
// are averaged without the white, so its edges stay hard on the desktop.
Picture resized_picture(const Picture& picture, int width, int height);

}  // namespace tockly::win
