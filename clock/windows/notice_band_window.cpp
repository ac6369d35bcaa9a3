#include "clock/windows/notice_band_window.h"

#include <cmath>

#include "win32kit/colours.h"
#include "win32kit/fonts.h"
#include "win32kit/owner_drawn.h"
#include "win32kit/text_codec.h"
#include "clock/windows/module_resources.h"

namespace tockly::win {

using namespace win32kit;

namespace {

constexpr int label_id = 1;
constexpr int image_id = 2;

UINT_PTR timer_id(NoticeTimer t) { return static_cast<UINT_PTR>(t) + 1; }

}  // namespace

NoticeBandWindow::NoticeBandWindow(HINSTANCE instance, ScreenMetrics screen) : instance_(instance), screen_(screen) {}

NoticeBandWindow::~NoticeBandWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool NoticeBandWindow::register_class(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The design background (pink) never shows: text_label covers the window.
    wc.hbrBackground = CreateSolidBrush(RGB(255, 192, 255));
    wc.lpszClassName = notice_band_class_name;
    return RegisterClassExW(&wc) != 0 && register_parent_drawn_class(instance);
}

int NoticeBandWindow::px_x(double twips) const { return screen_.scale().to_px(twips); }
int NoticeBandWindow::px_y(double twips) const { return screen_.scale().to_px(twips); }

void NoticeBandWindow::load(const NoticeLayout& layout) {
    unload();
    left_px_ = px_x(layout.left);
    const int width = px_x(layout.width), height = px_y(layout.height);
    // A tool window stays off the taskbar; no border, no title bar.
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, notice_band_class_name, L"Tockly", WS_POPUP | WS_CLIPCHILDREN, left_px_,
                            px_y(layout.top), width, height, nullptr, nullptr, instance_, this);
    if (!hwnd_) return;
    // text_label over the whole window, picture above it at the right end.
    // The start-up notice shows at every start: its parts are not "STATIC"
    // windows, which would load comctl32 (see parent_drawn_class). The text
    // takes clicks: on a ringing alarm's notice one puts it off.
    label_ = CreateWindowExW(0, parent_drawn_class, L"Tockly", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY, 0, 0,
                             width, height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(label_id)), instance_,
                             nullptr);
    image_ = CreateWindowExW(0, parent_drawn_class, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY,
                             px_x(layout.image_left), px_y(layout.image_top), px_x(layout.image_width),
                             px_y(layout.image_height), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(image_id)),
                             instance_, nullptr);
    SetWindowPos(image_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    SetWindowLongA(hwnd_, GWL_EXSTYLE, GetWindowLongA(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd_, colorref_from_ole(notice_design::colour_key), 0, LWA_COLORKEY);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // No smoothing: blended edge pixels would be near-white, not the key,
    // and show as a pale fringe around the letters.
    if (!font_) font_ = font_from_points({notice_design::font, static_cast<double>(notice_design::font_points), notice_design::font_weight,
                                          NONANTIALIASED_QUALITY}, screen_.dpi);
}

void NoticeBandWindow::set_text(std::string_view text) {
    if (!label_) return;
    SetWindowTextW(label_, widen(text).c_str());
    InvalidateRect(label_, nullptr, FALSE);
}

void NoticeBandWindow::move_top(double top_twips) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, left_px_, px_y(top_twips), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NoticeBandWindow::show_frame(int resource_number) {
    frame_shown_ = resource_number;
    if (image_) InvalidateRect(image_, nullptr, FALSE);
}

void NoticeBandWindow::enable_timer(NoticeTimer timer, bool on) {
    if (!hwnd_) return;
    if (on)
        SetTimer(hwnd_, timer_id(timer),
                 timer == NoticeTimer::frames ? notice_design::animation_interval_ms : notice_design::phase_interval_ms, nullptr);
    else
        KillTimer(hwnd_, timer_id(timer));
}

void NoticeBandWindow::show() {
    if (hwnd_ && !IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void NoticeBandWindow::unload() {
    if (!hwnd_) return;
    HWND gone = hwnd_;
    hwnd_ = label_ = image_ = nullptr;
    DestroyWindow(gone);
    // The frames go with the band (about 1 MB at 100 %): the start-up notice
    // would otherwise keep them for the clock's whole life.
    frames_ = {};
    drawn_frames_ = {};
    frame_tried_ = {};
}

void NoticeBandWindow::end_program() { ExitProcess(0); }

const Picture* NoticeBandWindow::frame(int resource_number) {
    const int index = resource_number - 101;
    if (index < 0 || index >= notice_design::frame_count) return nullptr;
    // Each frame is decoded once for a notice; a frame that does not decode
    // leaves the picture empty while the notice runs on.
    if (!frame_tried_[index]) {
        frame_tried_[index] = true;
        if (const auto bytes = Win32Resources().load("GIF", resource_number)) frames_[index] = decode_picture(*bytes);
    }
    return frames_[index] ? &frames_[index] : nullptr;
}

void NoticeBandWindow::draw_label(const DRAWITEMSTRUCT& item) {
    const RECT box = item.rcItem;
    HDC dc = item.hDC;
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    const int length = GetWindowTextLengthW(label_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(label_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorref_from_ole(notice_design::text_colour));
    ScopedSelect keep_font(dc, font_.get());
    RECT inner = box;
    DrawTextW(dc, text.c_str(), length, &inner, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

void NoticeBandWindow::draw_image(const DRAWITEMSTRUCT& item) {
    const RECT box = item.rcItem;
    HDC dc = item.hDC;
    const Picture* picture = frame(frame_shown_);
    if (!picture) {
        FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    // Each frame is resized once to the picture box, with the white kept apart.
    const int index = frame_shown_ - 101;
    Picture& drawn = drawn_frames_[index];
    if (drawn.width != box.right - box.left || drawn.height != box.bottom - box.top)
        drawn = resized_picture(*picture, box.right - box.left, box.bottom - box.top);
    if (!drawn) return;
    unique_memory_dc picture_dc(CreateCompatibleDC(dc));
    ScopedSelect keep(picture_dc.get(), drawn.bitmap.get());
    BitBlt(dc, box.left, box.top, drawn.width, drawn.height, picture_dc.get(), 0, 0, SRCCOPY);
}

LRESULT NoticeBandWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (model_) {
            switch (wp) {
            case 1: model_->on_slide_in_timer(); break;
            case 2: model_->on_stay_timer(); break;
            case 3: model_->on_slide_out_timer(); break;
            case 4: model_->on_frame_timer(); break;
            default: break;
            }
        }
        return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (item.CtlID == label_id) draw_label(item);
        if (item.CtlID == image_id) draw_image(item);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == image_id && HIWORD(wp) == STN_CLICKED && model_) model_->on_image_click();
        if (LOWORD(wp) == label_id && HIWORD(wp) == STN_CLICKED && model_) model_->on_text_click();
        return 0;
    case WM_MOUSEACTIVATE:
        // A click on the band must not take the focus from the user's window.
        return MA_NOACTIVATE;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace tockly::win
