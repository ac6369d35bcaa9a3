#include "win32kit/owner_drawn.h"

#include "win32kit/handles.h"
#include "win32kit/text_codec.h"

namespace win32kit {

void draw_flat_button(const DRAWITEMSTRUCT& item, const FlatButton& button) {
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, button.face);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(item.hDC, &box, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    ScopedSelect keep(item.hDC, button.font);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, button.text_colour);
    RECT text = box;
    if (pressed) OffsetRect(&text, 1, 1);
    const std::wstring caption = widen(button.caption);
    DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (button.focus_rect && (item.itemState & ODS_FOCUS)) {
        InflateRect(&box, -3, -3);
        DrawFocusRect(item.hDC, &box);
    }
}

}  // namespace win32kit
