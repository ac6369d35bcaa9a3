#include "form1.h"

#include <shellapi.h>

#include <cmath>

#include "fonts.h"
#include "text_codec.h"
#include "win32_ports.h"

namespace tockly::win {

namespace {

COLORREF to_colorref(unsigned ole_colour) {
    if (ole_colour & 0x80000000u) return GetSysColor(static_cast<int>(ole_colour & 0xFF));
    return static_cast<COLORREF>(ole_colour & 0xFFFFFF);
}

constexpr UINT_PTR timer1_id = 1;

}  // namespace

bool Form1::register_class(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = form1_class_name;
    return RegisterClassExW(&wc) != 0;
}

bool Form1::create(HINSTANCE instance, HWND owner) {
    instance_ = instance;
    const ScreenMetrics screen = screen_metrics();
    twips_per_pixel_x_ = screen.twips_per_pixel_x;
    twips_per_pixel_y_ = screen.twips_per_pixel_y;
    if (const auto bytes = Win32Resources().load("GIF", form1::built_in_skin_first_resource))
        built_in_face_ = decode_picture(*bytes);
    // A fixed border and a caption (both cut away by the region), no minimise
    // or maximise box. Owned by a hidden window so it stays off the taskbar.
    hwnd_ = CreateWindowExW(0, form1_class_name, L"Tockly", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                            form1::width_twips / twips_per_pixel_x_, form1::height_twips / twips_per_pixel_y_,
                            owner, nullptr, instance, this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK Form1::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->handle(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT Form1::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        on_resize();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        if (wp == timer1_id && tick_) {
            tick_->on_timer1();
            // From the time now, after the tick's own work.
            SetTimer(hwnd_, timer1_id, static_cast<UINT>(tick_->next_interval_ms()), nullptr);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        if (surface_dc_) BitBlt(dc, 0, 0, surface_width_, surface_height_, surface_dc_.get(), 0, 0, SRCCOPY);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_KEYDOWN:
        if (wp == VK_F2 && open_settings_) {
            open_settings_();
            return 0;
        }
        return DefWindowProcW(hwnd_, msg, wp, lp);
    case WM_CLOSE:
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        // Any way the window closes, the tray icon goes with it.
        remove_tray_icon();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

void Form1::on_resize() {
    // Every resize turns all lines back into rim dots (hour marks and hands).
    face_set_up_ = true;
    lines_ = face_lines_after_resize();
    render();
}

void Form1::render() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    if (!surface_dc_ || w != surface_width_ || h != surface_height_) {
        ScopedGetDc screen(hwnd_);
        surface_select_.reset();
        surface_dc_.reset(CreateCompatibleDC(screen));
        surface_.reset(CreateCompatibleBitmap(screen, w, h));
        // The bitmap stays selected: the surface persists between paints.
        surface_select_ = std::make_unique<ScopedSelect>(surface_dc_.get(), surface_.get());
        surface_width_ = w;
        surface_height_ = h;
    }
    HDC dc = surface_dc_.get();
    RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    const Picture& face = skin_ ? skin_ : built_in_face_;
    if (face) {
        unique_memory_dc picture_dc(CreateCompatibleDC(dc));
        ScopedSelect keep(picture_dc.get(), face.bitmap.get());
        BitBlt(dc, 0, 0, face.width, face.height, picture_dc.get(), 0, 0, SRCCOPY);
    }

    // Labels first, so marks and hands are drawn over them.
    SetBkMode(dc, TRANSPARENT);
    const auto visible = [&](FaceLabel l) { auto it = label_visible_.find(l); return it == label_visible_.end() || it->second; };
    if (visible(FaceLabel::Label1_time)) draw_label(dc, face_labels::Label1, texts_.time);
    if (visible(FaceLabel::Label2_weekday)) draw_label(dc, face_labels::Label2, texts_.weekday);
    if (visible(FaceLabel::Label4_year_month)) draw_label(dc, face_labels::Label4, texts_.year_month);
    if (visible(FaceLabel::Label5_day)) draw_label(dc, face_labels::Label5, texts_.day);
    draw_label(dc, face_labels::Label6, std::string(studio_name));

    // Marks, hands and hub in the face's own -1..1 system over the design client area.
    const int face_w = design_client_width_twips / twips_per_pixel_x_;
    const int face_h = design_client_height_twips / twips_per_pixel_y_;
    for (const FaceLine& line : lines_) {
        const FacePoint a = face_to_client(line.from, face_w, face_h), b = face_to_client(line.to, face_w, face_h);
        const COLORREF colour = to_colorref(line.colour);
        if (std::lround(a.x) == std::lround(b.x) && std::lround(a.y) == std::lround(b.y)) {
            // A line of no length shows as a dot of its width.
            const int r = std::max(1, line.width_px) ;
            RECT dot{static_cast<LONG>(std::lround(a.x - r / 2.0)), static_cast<LONG>(std::lround(a.y - r / 2.0)), 0, 0};
            dot.right = dot.left + r;
            dot.bottom = dot.top + r;
            unique_hbrush brush(CreateSolidBrush(colour));
            FillRect(dc, &dot, brush.get());
        } else {
            unique_hpen pen(CreatePen(PS_SOLID, line.width_px, colour));
            ScopedSelect keep_pen(dc, pen.get());
            MoveToEx(dc, static_cast<int>(std::lround(a.x)), static_cast<int>(std::lround(a.y)), nullptr);
            LineTo(dc, static_cast<int>(std::lround(b.x)), static_cast<int>(std::lround(b.y)));
        }
    }

    // The black hub over the centre.
    const FacePoint centre = face_to_client({0, 0}, face_w, face_h);
    const double rx = hub_radius * face_w / 2, ry = hub_radius * face_h / 2;
    ScopedSelect keep_brush(dc, GetStockObject(BLACK_BRUSH));
    ScopedSelect keep_pen(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, static_cast<int>(std::lround(centre.x - rx)), static_cast<int>(std::lround(centre.y - ry)),
            static_cast<int>(std::lround(centre.x + rx)) + 1, static_cast<int>(std::lround(centre.y + ry)) + 1);

    InvalidateRect(hwnd_, nullptr, FALSE);
}

HFONT Form1::font_for(const LabelDesign& design) {
    auto& font = fonts_[&design];
    if (!font) {
        ScopedGetDc screen(nullptr);
        const int height = -static_cast<int>(std::lround(design.points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0));
        font.reset(CreateFontW(height, 0, 0, 0, design.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                               GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH, available_face(design.font).c_str()));
    }
    return font.get();
}

void Form1::draw_label(HDC dc, const LabelDesign& design, const std::string& text) {
    RECT box{design.left / twips_per_pixel_x_, design.top / twips_per_pixel_y_,
             (design.left + design.width) / twips_per_pixel_x_, (design.top + design.height) / twips_per_pixel_y_};
    if (design.framed) FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ScopedSelect keep_font(dc, font_for(design));
    SetTextColor(dc, to_colorref(design.colour));
    RECT inner = box;
    if (design.framed) InflateRect(&inner, -1, -1);
    const UINT align = design.align == LabelAlign::right ? DT_RIGHT : DT_CENTER;
    const std::wstring wide = widen(text);
    // One line, never cut: a weekday in a fallback font may be wider than its box.
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &inner, align | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
}

void Form1::set_texts(const FaceTexts& texts) {
    texts_ = texts;
    render();
}

void Form1::show_hands(const std::array<FaceLine, 3>& hands) {
    lines_[0] = hands[0];
    lines_[13] = hands[1];
    lines_[14] = hands[2];
}

void Form1::show_texts(const FaceTexts& texts) { texts_ = texts; }

void Form1::draw_hub() { render(); }

void Form1::start_timer1(ClockTick& tick) {
    tick_ = &tick;
    SetTimer(hwnd_, timer1_id, static_cast<UINT>(tick.next_interval_ms()), nullptr);
}

void Form1::set_size_twips(int width, int height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width / twips_per_pixel_x_, height / twips_per_pixel_y_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::set_caption(std::string_view caption) { SetWindowTextW(hwnd_, widen(caption).c_str()); }

void Form1::set_elliptic_region(form1::Ellipse p) {
    // The window owns the region from here on.
    SetWindowRgn(hwnd_, CreateEllipticRgn(p.left, p.top, p.right, p.bottom), TRUE);
}

void Form1::move_twips(int left, int top) {
    SetWindowPos(hwnd_, nullptr, static_cast<int>(std::lround(static_cast<double>(left) / twips_per_pixel_x_)),
                 static_cast<int>(std::lround(static_cast<double>(top) / twips_per_pixel_y_)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::make_topmost() {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form1::set_label_visible(FaceLabel label, bool visible) {
    label_visible_[label] = visible;
    render();
}

bool Form1::load_skin(std::string_view path) {
    Picture picture = load_picture_file(path);
    if (!picture) return false;
    skin_ = std::move(picture);
    render();
    return true;
}

void Form1::make_layered_colour_key(unsigned colour_key) {
    SetWindowLongW(hwnd_, GWL_EXSTYLE, GetWindowLongW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd_, to_colorref(colour_key), 0, LWA_COLORKEY);
}

void Form1::show_tray_icon(std::string_view tooltip) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd_;
    data.uID = 1;
    data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    data.uCallbackMessage = tray_callback_message;
    data.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
    wcsncpy(data.szTip, widen(tooltip).c_str(), std::size(data.szTip) - 1);
    tray_shown_ = Shell_NotifyIconW(tray_shown_ ? NIM_MODIFY : NIM_ADD, &data) || tray_shown_;
}

void Form1::remove_tray_icon() {
    if (!tray_shown_) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd_;
    data.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &data);
    tray_shown_ = false;
}

void Form1::show() { ShowWindow(hwnd_, SW_SHOWNOACTIVATE); }
void Form1::hide() { ShowWindow(hwnd_, SW_HIDE); }

}  // namespace tockly::win
