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

// A child window that its parent draws, as an owner-drawn static of user32
// does: WM_DRAWITEM (ODT_STATIC) to the parent for every paint, STN_CLICKED
// on a click with SS_NOTIFY, see-through to the mouse without it. With common
// controls 6 in a program's manifest every "STATIC" window loads comctl32
// (about 1 MB under Wine); a window made at start uses this class instead.
inline constexpr const wchar_t* parent_drawn_class = L"Win32kitParentDrawn";
// Registers parent_drawn_class for `instance`; true when it is there.
bool register_parent_drawn_class(HINSTANCE instance);

}  // namespace win32kit
