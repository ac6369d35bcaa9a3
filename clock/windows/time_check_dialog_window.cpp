#include "clock/windows/time_check_dialog_window.h"

#include <commctrl.h>

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "win32kit/colours.h"
#include "win32kit/common_controls.h"
#include "win32kit/fonts.h"
#include "win32kit/owner_drawn.h"
#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

namespace {

constexpr UINT_PTR timer_id(TimeCheckTimer timer) { return static_cast<UINT_PTR>(timer) + 1; }

constexpr UINT timer_interval(TimeCheckTimer timer) {
    return timer == TimeCheckTimer::animation ? time_check_design::animation_interval_ms : time_check_design::slide_interval_ms;
}

}  // namespace

bool TimeCheckDialogWindow::register_class(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = time_check_class_name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

TimeCheckDialogWindow::TimeCheckDialogWindow(HINSTANCE instance, HWND owner, TimeCheckWindowPorts ports)
    : instance_(instance),
      owner_(owner),
      model_({*this, {ports.profile, boxes_}, ports.settings_path, ports.resources, ports.files, ports.web,
              ports.setter, ports.background}) {
    scale_ = DpiScale(system_dpi());
    white_.reset(CreateSolidBrush(RGB(255, 255, 255)));
    yellow_.reset(CreateSolidBrush(colorref_from_ole(time_check_design::auto_correct_back_colour)));
    green_.reset(CreateSolidBrush(colorref_from_ole(time_check_design::correct_back_colour)));
}

TimeCheckDialogWindow::~TimeCheckDialogWindow() {
    // Let go first, so the window's last messages do not reach a dying object.
    if (HWND gone = std::exchange(hwnd_, nullptr)) DestroyWindow(gone);
}

int TimeCheckDialogWindow::px_x(int twips) const { return scale_.px(twips); }
int TimeCheckDialogWindow::px_y(int twips) const { return scale_.px(twips); }

HWND TimeCheckDialogWindow::add_control(const wchar_t* cls, std::string_view text, DWORD style,
                               const time_check_design::ControlDesign& at, int id) {
    HWND control = CreateWindowExW(0, cls, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, px_x(at.left),
                                   px_y(at.top), px_x(at.width), px_y(at.height), hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    return control;
}

bool TimeCheckDialogWindow::load() {
    if (hwnd_) return true;
    // No WS_CLIPCHILDREN: the dialog paints the picture under the transparent labels.
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, time_check_class_name, L"", WS_POPUP, 0, 0,
                            px_x(time_check_design::window_width), px_y(time_check_design::window_height), owner_, nullptr, instance_, this);
    if (!hwnd_) return false;
    boxes_.set_owner(hwnd_);
    // No smoothing: edge pixels blended towards white would show as a halo
    // around the see-through white.
    if (!label_font_)
        label_font_ = font_from_points({time_check_design::label_font.data(), time_check_design::label_points, FW_BOLD, NONANTIALIASED_QUALITY},
                                       scale_.dpi());
    if (!control_font_) control_font_ = font_from_points({"宋体", 9, FW_NORMAL, NONANTIALIASED_QUALITY}, scale_.dpi());
    win32kit::load_common_controls();

    because_label_ = add_control(L"STATIC", time_check_design::because_text, SS_LEFT | SS_NOPREFIX, time_check_design::because_label, time_check_because_id);
    wrong_time_label_ = add_control(L"STATIC", time_check_design::wrong_time_text, SS_LEFT | SS_NOPREFIX, time_check_design::wrong_time_label, time_check_wrong_time_id);
    correct_button_ = add_control(L"BUTTON", time_check_design::correct_text, BS_OWNERDRAW, time_check_design::correct_button, time_check_correct_id);
    auto_correct_ = add_control(L"BUTTON", time_check_design::auto_correct_text, BS_AUTOCHECKBOX, time_check_design::auto_correct_box, time_check_auto_correct_id);
    for (HWND label : {wrong_time_label_, because_label_}) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(label_font_.get()), FALSE);
    for (HWND control : {correct_button_, auto_correct_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(control_font_.get()), FALSE);

    add_close_tooltip();

    // The design picture, until the animation shows its first frame.
    if (const auto bytes = Win32Resources().load("GIF", time_check_design::first_frame_resource)) frame_ = decode_picture(*bytes);
    return true;
}

void TimeCheckDialogWindow::add_close_tooltip() {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    if (!tooltip_) return;
    std::wstring tip = widen(time_check_design::close_tooltip);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = 1;
    tool.rect = image_rect();
    tool.lpszText = tip.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TimeCheckDialogWindow::unload() {
    if (!hwnd_) return;
    for (TimeCheckTimer timer : {TimeCheckTimer::animation, TimeCheckTimer::slide_in, TimeCheckTimer::slide_out})
        KillTimer(hwnd_, timer_id(timer));
    destroy_later();
    correct_button_ = auto_correct_ = tooltip_ = wrong_time_label_ = because_label_ = nullptr;
    image_pressed_ = false;
    boxes_.set_owner(nullptr);
}

ScreenMetrics TimeCheckDialogWindow::screen() { return screen_metrics(); }

void TimeCheckDialogWindow::make_topmost() {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TimeCheckDialogWindow::make_layered_colour_key(unsigned colour_key) {
    SetWindowLongW(hwnd_, GWL_EXSTYLE, GetWindowLongW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd_, colorref_from_ole(colour_key), 0, LWA_COLORKEY);
}

void TimeCheckDialogWindow::set_bounds_twips(int left, int top, int width, int height) {
    top_px_ = px_y(top);
    SetWindowPos(hwnd_, nullptr, px_x(left), top_px_, px_x(width), px_y(height), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TimeCheckDialogWindow::move_left_twips(int left) {
    SetWindowPos(hwnd_, nullptr, px_x(left), top_px_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TimeCheckDialogWindow::set_check(bool checked) {
    SendMessageW(auto_correct_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TimeCheckDialogWindow::show_picture(std::string_view path) {
    Picture picture = load_picture_file(path);
    if (!picture) return;
    frame_ = std::move(picture);
    const RECT area = image_rect();
    InvalidateRect(hwnd_, &area, FALSE);
}

void TimeCheckDialogWindow::set_timer(TimeCheckTimer timer, bool on) {
    if (!hwnd_) return;
    if (on)
        SetTimer(hwnd_, timer_id(timer), timer_interval(timer), nullptr);
    else
        KillTimer(hwnd_, timer_id(timer));
}

void TimeCheckDialogWindow::show() { ShowWindow(hwnd_, SW_SHOWNOACTIVATE); }

LRESULT TimeCheckDialogWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER: on_timer(wp); return 0;
    case WM_COMMAND: on_command(LOWORD(wp), HIWORD(wp)); return 0;
    case WM_CTLCOLORSTATIC: return on_control_colour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DRAWITEM: on_draw_item(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)); return TRUE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint(); return 0;
    case WM_LBUTTONDOWN: on_button_down({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_LBUTTONUP: on_button_up({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_SETCURSOR:
        if (on_set_cursor(reinterpret_cast<HWND>(wp))) return TRUE;
        break;
    case WM_CLOSE:
        // Closing from outside (Alt+F4, a task manager) is a click on the picture.
        model_.close_click();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TimeCheckDialogWindow::on_timer(WPARAM id) {
    switch (id) {
    case timer_id(TimeCheckTimer::animation): model_.on_animation_timer(); break;
    case timer_id(TimeCheckTimer::slide_in): model_.on_slide_in_timer(); break;
    case timer_id(TimeCheckTimer::slide_out): model_.on_slide_out_timer(); break;
    default: break;
    }
}

void TimeCheckDialogWindow::on_command(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == time_check_correct_id)
        model_.correct_click();
    else if (id == time_check_auto_correct_id)
        model_.auto_correct_click(SendMessageW(auto_correct_, BM_GETCHECK, 0, 0) == BST_CHECKED);
}

LRESULT TimeCheckDialogWindow::on_control_colour(HDC dc, HWND control) {
    if (control == auto_correct_) {
        SetTextColor(dc, colorref_from_ole(time_check_design::auto_correct_text_colour));
        SetBkColor(dc, colorref_from_ole(time_check_design::auto_correct_back_colour));
        return reinterpret_cast<LRESULT>(yellow_.get());
    }
    // The labels: red text with nothing behind it, so the white of the
    // dialog (see-through) or the picture shows around the letters.
    SetTextColor(dc, colorref_from_ole(time_check_design::label_colour));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

void TimeCheckDialogWindow::on_draw_item(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == time_check_correct_id) draw_button(item);
}

void TimeCheckDialogWindow::on_button_down(POINT at) { image_pressed_ = over_image(at); }

void TimeCheckDialogWindow::on_button_up(POINT at) {
    // A click: pressed and released on the picture.
    if (std::exchange(image_pressed_, false) && over_image(at)) model_.close_click();
}

bool TimeCheckDialogWindow::on_set_cursor(HWND over) {
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(hwnd_, &at);
    if (over != correct_button_ && over != auto_correct_ && !(over == hwnd_ && over_image(at))) return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void TimeCheckDialogWindow::draw_button(const DRAWITEMSTRUCT& item) {
    draw_flat_button(item, {green_.get(), control_font_.get(), RGB(0, 0, 0), time_check_design::correct_text});
}

RECT TimeCheckDialogWindow::image_rect() const {
    const auto& d = time_check_design::close_picture;
    return RECT{px_x(d.left), px_y(d.top), px_x(d.left + d.width), px_y(d.top + d.height)};
}

bool TimeCheckDialogWindow::over_image(POINT client) const {
    const RECT area = image_rect();
    return PtInRect(&area, client) != 0;
}

void TimeCheckDialogWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, white_.get());
    if (frame_) {
        // Not stretched: the frame at the top left of the picture area.
        const RECT area = image_rect();
        // The frames were drawn for 96 dpi.
        const int width = scale_.scaled(frame_.width), height = scale_.scaled(frame_.height);
        if (drawn_frame_.width != width || drawn_frame_.height != height || drawn_frame_source_ != frame_.bitmap.get()) {
            drawn_frame_ = resized_picture(frame_, width, height);
            drawn_frame_source_ = frame_.bitmap.get();
        }
        const Picture& shown = drawn_frame_ ? drawn_frame_ : frame_;
        unique_memory_dc picture_dc(CreateCompatibleDC(dc));
        ScopedSelect keep(picture_dc.get(), shown.bitmap.get());
        BitBlt(dc, area.left, area.top, std::min<int>(shown.width, area.right - area.left),
               std::min<int>(shown.height, area.bottom - area.top), picture_dc.get(), 0, 0, SRCCOPY);
    }
    EndPaint(hwnd_, &ps);
    // The transparent labels draw over what was just painted.
    for (HWND label : {wrong_time_label_, because_label_}) RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace tockly::win
