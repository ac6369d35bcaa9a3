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

namespace {

bool notifies(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) != 0; }

void ask_parent_to_draw(HWND hwnd) {
    PAINTSTRUCT paint;
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = hwnd;
    item.hDC = BeginPaint(hwnd, &paint);
    GetClientRect(hwnd, &item.rcItem);
    SendMessageW(GetParent(hwnd), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    EndPaint(hwnd, &paint);
}

LRESULT CALLBACK parent_drawn_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: ask_parent_to_draw(hwnd); return 0;
    case WM_ERASEBKGND: return TRUE;  // the parent's drawing covers it all
    case WM_NCHITTEST: return notifies(hwnd) ? HTCLIENT : HTTRANSPARENT;
    case WM_LBUTTONDOWN:
        if (notifies(hwnd))
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

bool register_parent_drawn_class(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = parent_drawn_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = parent_drawn_class;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace win32kit
