// Painting of owner-drawn controls the two programs share.
#pragma once

#include <windows.h>

#include <string_view>

namespace win32kit {

struct FlatButton {
    HBRUSH face;
    HFONT font;
    COLORREF text_colour;
    std::string_view caption;  // UTF-8, no mnemonics
    bool focus_rect = false;   // the dotted frame when the button has the focus
};

// A push button of one colour with a raised edge, sunken (and its caption a
// pixel down and right) while pressed.
void draw_flat_button(const DRAWITEMSTRUCT& item, const FlatButton& button);

}  // namespace win32kit
