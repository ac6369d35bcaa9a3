// The clock face at the DPI of the monitor it is on: the window, its region,
// the picture, the labels and the pens in pixels. Twips keep their meaning
// (1440 an inch); lengths designed in pixels were drawn for 96 dpi and grow
// by dpi / 96, so the face at 144 dpi is the 96-dpi face half as large again.
#pragma once

#include <vector>

#include "clock/model/face.h"
#include "clock/model/startup.h"
#include "clock/support/twips_scale.h"

namespace tockly {

struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct FaceLayout {
    int window_width = 0, window_height = 0;
    PixelBox region;  // the box of the visible ellipse, in window pixels
    // The design client area: marks, hands and labels are laid out in it.
    int face_width = 0, face_height = 0;
};

FaceLayout face_layout(TwipsScale scale);
PixelBox label_box(const LabelDesign& label, TwipsScale scale);
// Pens keep at least one pixel.
int pen_width(int width_at_96, TwipsScale scale);

// The built-in faces are drawn at 100 % (GIF 201..204) and again at 150 %
// (1201..1204) and 200 % (2201..2204), so that no DPI up to 192 enlarges a
// picture. Returns the drawing to scale from: the smallest one at least as
// large as the face needs, else the largest.
inline constexpr int larger_face_step = 1000;
int face_resource_for_dpi(int resource_at_100, int dpi);
// 100, 150 or 200 for a built-in face's resource number.
int face_resource_percent(int resource);

// A picture as 0x00RRGGBB pixels, row by row from the top.
struct PixelPicture {
    int width = 0, height = 0;
    std::vector<unsigned> pixels;
};

// Resizes a picture whose see-through parts are the key colour. Colours are
// averaged only among pixels that are not the key, so no pale fringe grows
// round the face on the desktop; a pixel mostly covered by the key stays key.
PixelPicture resize_keyed(const PixelPicture& source, int width, int height, unsigned key);

}  // namespace tockly
