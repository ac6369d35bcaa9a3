#include "clock/windows/clock_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "win32kit/colours.h"
#include "win32kit/common_controls.h"
#include "win32kit/fonts.h"
#include "clock/windows/monitors.h"
#include "clock/windows/single_instance.h"
#include "win32kit/text_codec.h"
#include "clock/windows/file_system.h"
#include "clock/windows/module_resources.h"

namespace tockly::win {

using namespace win32kit;

namespace {

constexpr UINT_PTR tick_timer_id = 1;
constexpr UINT_PTR exit_timer_id = 2;  // the exit delay

// What Explorer broadcasts when it has made a new taskbar.
UINT taskbar_created_message() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace

bool ClockWindow::register_class(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = clock_window_class_name;
    return RegisterClassExW(&wc) != 0;
}

bool ClockWindow::create(HINSTANCE instance, HWND owner) {
    instance_ = instance;
    scale_ = DpiScale(system_dpi());
    // A fixed border and a caption (both cut away by the region), no minimise
    // or maximise box. Owned by a hidden window so it stays off the taskbar.
    hwnd_ = CreateWindowExW(0, clock_window_class_name, L"Tockly", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                            scale_.px(clock_design::width_twips), scale_.px(clock_design::height_twips), owner, nullptr, instance,
                            this);
    if (!hwnd_) return false;
    // From here on the monitor the window is on decides.
    scale_ = DpiScale::of(hwnd_);
    prepare_face();
    return true;
}

LRESULT ClockWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == come_forward_message()) {
        on_second_start();
        return 0;
    }
    if (msg == taskbar_created_message()) {
        on_taskbar_created();
        return 0;
    }
    const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
    case WM_SIZE: on_resize(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_DPICHANGED: on_dpi_changed(LOWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_TIMER: on_timer(wp); return 0;
    // The timer still counts towards a boundary of the old time.
    case WM_TIMECHANGE: run_tick(); return 0;
    case WM_POWERBROADCAST: on_power_event(wp); return TRUE;
    case WM_PAINT: on_paint(); return 0;
    case WM_LBUTTONDOWN: on_left_button_down(at); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: on_button_up(msg, at); return 0;
    case WM_LBUTTONDBLCLK: on_double_click(at); return 0;
    case WM_MOUSEMOVE: on_mouse_move(at); return 0;
    case WM_SETCURSOR: return on_set_cursor(wp, lp);
    case WM_COMMAND: on_command(wp); return 0;
    case tray_callback_message: on_tray_mouse(LOWORD(lp)); return 0;
    case WM_CLOSE: DestroyWindow(hwnd_); return 0;
    case WM_DESTROY: on_destroy(); return 0;
    default: return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

void ClockWindow::on_timer(WPARAM id) {
    if (id == exit_timer_id) {
        if (commands_) commands_->on_exit_timer();
    } else if (id == tick_timer_id) {
        run_tick();
    }
}

void ClockWindow::on_power_event(WPARAM event) {
    // After a sleep the timer may fire late or not at all until the next interval.
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) run_tick();
}

void ClockWindow::on_paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (surface_dc_) BitBlt(dc, 0, 0, surface_width_, surface_height_, surface_dc_.get(), 0, 0, SRCCOPY);
    EndPaint(hwnd_, &ps);
}

void ClockWindow::on_left_button_down(POINT client) {
    switch (spot_at(client)) {
    case Spot::background: drag(false); break;
    case Spot::time_label:
    case Spot::weekday_label:
    case Spot::year_month_label:
    case Spot::studio_label: drag(true); break;
    default: break;
    }
}

void ClockWindow::on_double_click(POINT client) {
    if (spot_at(client) != Spot::background) return;
    // The menu opens at the face centre.
    const FaceLayout layout = face_layout(scale_.twips());
    const FacePoint centre = face_to_client(menu_point_for_double_click(), layout.face_width, layout.face_height);
    POINT p{static_cast<LONG>(std::lround(centre.x)), static_cast<LONG>(std::lround(centre.y))};
    ClientToScreen(hwnd_, &p);
    show_menu(MenuId::context_menu, p, TPM_RIGHTBUTTON);
}

void ClockWindow::on_mouse_move(POINT client) {
    if (behaviour_.parked()) place_twips(behaviour_.on_mouse_move(window_twips(), monitors()));
    if (spot_at(client) == Spot::day_label) update_day_label_tooltip();
}

LRESULT ClockWindow::on_set_cursor(WPARAM wp, LPARAM lp) {
    // The day label is a button of sorts: it opens the lunar calendar.
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(hwnd_, &at);
    if (LOWORD(lp) == HTCLIENT && spot_at(at) == Spot::day_label) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefWindowProcW(hwnd_, WM_SETCURSOR, wp, lp);
}

void ClockWindow::on_command(WPARAM wp) {
    if (HIWORD(wp) == 0 && LOWORD(wp) >= menu_command_base && commands_)
        commands_->on_menu(static_cast<MenuId>(LOWORD(wp) - menu_command_base));
}

void ClockWindow::on_tray_mouse(UINT mouse_message) {
    if (!commands_) return;
    if (mouse_message == WM_LBUTTONDBLCLK) {
        commands_->on_tray_activate();
    } else if (mouse_message == WM_RBUTTONUP) {
        POINT p;
        GetCursorPos(&p);
        show_menu(MenuId::tray_menu, p, 0);
    }
}

void ClockWindow::on_destroy() {
    // Any way the window closes, the tray icon goes with it.
    remove_tray_icon();
    PostQuitMessage(0);
}

void ClockWindow::on_second_start() {
    if (commands_) commands_->on_second_start();
    else come_forward();
}

void ClockWindow::on_taskbar_created() {
    // A new taskbar (Explorer started again, or for the first time after a
    // start with Windows) knows no icons: the clock's goes in, or a clock in
    // the tray could not be reached.
    if (!in_tray_) return;
    icon_added_ = false;
    add_tray_icon();
}

ClockWindow::Spot ClockWindow::spot_at(POINT p) const {
    const auto inside = [&](const LabelDesign& d) {
        const RECT r = label_rect(d);
        return PtInRect(&r, p) != 0;
    };
    // Hidden labels take no clicks; the spot at the centre and the studio name always do.
    if (inside(face_labels::alarm_spot)) return Spot::alarm_spot;
    if (label_shown(FaceLabel::day) && inside(face_labels::day_label)) return Spot::day_label;
    if (label_shown(FaceLabel::time) && inside(face_labels::time_label)) return Spot::time_label;
    if (label_shown(FaceLabel::weekday) && inside(face_labels::weekday_label)) return Spot::weekday_label;
    if (label_shown(FaceLabel::year_month) && inside(face_labels::year_month_label)) return Spot::year_month_label;
    if (inside(face_labels::studio_label)) return Spot::studio_label;
    return Spot::background;
}

RECT ClockWindow::label_rect(const LabelDesign& d) const {
    const PixelBox box = label_box(d, scale_.twips());
    return RECT{box.left, box.top, box.right, box.bottom};
}

bool ClockWindow::label_shown(FaceLabel label) const {
    const auto it = label_visible_.find(label);
    return it == label_visible_.end() || it->second;
}

WindowRect ClockWindow::window_twips() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return {scale_.twips_of(r.left), scale_.twips_of(r.top), scale_.twips_of(r.right - r.left),
            scale_.twips_of(r.bottom - r.top)};
}

MonitorLayout ClockWindow::monitors() const { return current_monitor_layout(scale_.twips()); }

void ClockWindow::place_twips(const WindowRect& r) { move_twips(r.left, r.top); }

void ClockWindow::drag(bool from_label) {
    // The system moves the window with the mouse until the button is released.
    ReleaseCapture();
    SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    const WindowRect moved = window_twips();
    place_twips(from_label ? behaviour_.after_label_drag(moved, monitors())
                           : behaviour_.after_background_drag(moved, monitors()));
}

void ClockWindow::run_tick() {
    if (!tick_) return;
    tick_->on_tick_timer();
    // From the time now, after the tick's own work.
    SetTimer(hwnd_, tick_timer_id, static_cast<UINT>(tick_->next_interval_ms()), nullptr);
}

void ClockWindow::come_forward() {
    if (in_tray_) {
        remove_tray_icon();
        show();
    }
    if (behaviour_.parked()) place_twips(behaviour_.on_mouse_move(window_twips(), monitors()));
    make_topmost();
    SetForegroundWindow(hwnd_);
    bring_thread_boxes_forward();
}

void ClockWindow::park() { place_twips(behaviour_.park(window_twips(), monitors())); }

void ClockWindow::start_exit_timer() { SetTimer(hwnd_, exit_timer_id, exit_timer_interval_ms, nullptr); }

void ClockWindow::on_button_up(UINT msg, POINT client) {
    if (!commands_) return;
    const Spot spot = spot_at(client);
    const auto label_menu = [&](const LabelDesign& d) {
        const TwipsPoint corner = menu_point_for_label(d);
        POINT p{scale_.px(corner.x), scale_.px(corner.y)};
        ClientToScreen(hwnd_, &p);
        show_menu(MenuId::context_menu, p, TPM_RIGHTBUTTON);
    };
    switch (spot) {
    case Spot::background:
        if (msg == WM_RBUTTONUP) {
            POINT p = client;
            ClientToScreen(hwnd_, &p);
            show_menu(MenuId::context_menu, p, TPM_RIGHTBUTTON);
        }
        break;
    case Spot::time_label: label_menu(face_labels::time_label); break;
    case Spot::weekday_label: label_menu(face_labels::weekday_label); break;
    case Spot::year_month_label: label_menu(face_labels::year_month_label); break;
    case Spot::studio_label: label_menu(face_labels::studio_label); break;
    case Spot::alarm_spot:
        if (msg == WM_LBUTTONUP) commands_->on_alarm_spot_click();
        break;
    case Spot::day_label: commands_->on_day_label_click(); break;
    }
}

void ClockWindow::show_menu(MenuId popup, POINT screen_point, UINT flags) {
    if (!commands_) return;
    HMENU root = CreatePopupMenu();
    HMENU current = root;
    HMENU submenu = nullptr;
    bool in_popup = false;
    for (const MenuEntry& e : menu_tree) {
        if (e.depth == 0) {
            in_popup = e.id == popup;
            continue;
        }
        if (!in_popup) continue;
        if (e.depth == 1) current = root;
        if (!commands_->menu_shown(e.id)) continue;
        const UINT id = menu_command_base + static_cast<UINT>(e.id);
        const std::wstring caption = widen(commands_->menu_caption(e));
        if (e.caption == "-") {
            AppendMenuW(current, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        // An item followed by deeper items opens a sub-menu.
        const auto next = &e + 1;
        if (next != menu_tree.data() + menu_tree.size() && next->depth > e.depth) {
            submenu = CreatePopupMenu();
            AppendMenuW(current, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), caption.c_str());
            current = submenu;
            continue;
        }
        UINT state = MF_STRING;
        if (commands_->menu_checked(e.id)) state |= MF_CHECKED;
        if (!commands_->menu_enabled(e.id)) state |= MF_GRAYED;
        AppendMenuW(current, state, id, caption.c_str());
    }
    // The window must be in front for the menu to close when the user clicks elsewhere.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(root, flags, screen_point.x, screen_point.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    DestroyMenu(root);  // destroys the sub-menu too
}

void ClockWindow::update_day_label_tooltip() {
    if (!commands_) return;
    const std::wstring text = widen(commands_->day_label_tooltip());
    if (!tooltip_) {
        win32kit::load_common_controls();
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   instance_, nullptr);
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
    }
    if (!day_label_tool_) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = 5;
        tool.rect = label_rect(face_labels::day_label);
        tool.lpszText = const_cast<wchar_t*>(text.c_str());
        day_label_tool_ = SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
        return;
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = hwnd_;
    tool.uId = 5;
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ClockWindow::on_dpi_changed(int dpi, const RECT& suggested) {
    scale_ = DpiScale(dpi);
    // Fonts, the region and the face picture are all made for one DPI.
    fonts_.clear();
    if (tooltip_) {
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
    }
    prepare_face();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    apply_region();
    render();
}

void ClockWindow::apply_region() {
    if (!region_set_) return;
    const PixelBox r = face_layout(scale_.twips()).region;
    // The window owns the region from here on.
    SetWindowRgn(hwnd_, CreateEllipticRgn(r.left, r.top, r.right, r.bottom), TRUE);
}

void ClockWindow::prepare_face() {
    // The old drawing leaves its DC before it is freed.
    picture_select_.reset();
    picture_in_dc_ = nullptr;
    drawn_face_ = {};
    if (skin_) {
        // The user's own picture was made for 96 dpi: its pixels grow with the DPI.
        drawn_face_ = resized_picture(skin_, scale_.scaled(skin_.width), scale_.scaled(skin_.height));
        return;
    }
    Win32Resources resources;
    int resource = face_resource_for_dpi(face_resource_, scale_.dpi());
    auto bytes = resources.load("GIF", resource);
    if (!bytes) bytes = resources.load("GIF", resource = face_resource_);
    if (!bytes) return;
    const Picture drawing = decode_picture(*bytes);
    if (!drawing) return;
    const double percent = face_resource_percent(resource);
    drawn_face_ = resized_picture(drawing, scale_.scaled(drawing.width * 100.0 / percent),
                                  scale_.scaled(drawing.height * 100.0 / percent));
}

void ClockWindow::on_resize() {
    // Every resize turns all lines back into rim dots (hour marks and hands).
    face_set_up_ = true;
    lines_ = face_lines_after_resize();
    render();
}

HPEN ClockWindow::pen_for(int width, COLORREF colour) {
    auto& pen = pens_[{width, colour}];
    if (!pen) pen.reset(CreatePen(PS_SOLID, width, colour));
    return pen.get();
}

RECT ClockWindow::line_bounds(const FaceLine& line) const {
    const FaceLayout layout = face_layout(scale_.twips());
    const int face_w = layout.face_width, face_h = layout.face_height;
    const FacePoint a = face_to_client(line.from, face_w, face_h), b = face_to_client(line.to, face_w, face_h);
    const int margin = pen_width(line.width_px, scale_.twips()) + 2;
    return RECT{static_cast<LONG>(std::floor(std::min(a.x, b.x))) - margin,
                static_cast<LONG>(std::floor(std::min(a.y, b.y))) - margin,
                static_cast<LONG>(std::ceil(std::max(a.x, b.x))) + margin,
                static_cast<LONG>(std::ceil(std::max(a.y, b.y))) + margin};
}

void ClockWindow::add_changed(const RECT& r) {
    if (IsRectEmpty(&changed_)) changed_ = r;
    else UnionRect(&changed_, &changed_, &r);
}

void ClockWindow::render(const RECT* changed) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    prepare_surface(w, h);
    HDC dc = surface_dc_.get();
    RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    paint_picture(dc);
    // Labels first, so marks and hands are drawn over them.
    paint_labels(dc);
    paint_lines(dc);
    paint_hub(dc);
    InvalidateRect(hwnd_, changed, FALSE);
}

void ClockWindow::prepare_surface(int width, int height) {
    if (surface_dc_ && width == surface_width_ && height == surface_height_) return;
    ScopedGetDc screen(hwnd_);
    surface_select_.reset();
    surface_dc_.reset(CreateCompatibleDC(screen));
    surface_.reset(CreateCompatibleBitmap(screen, width, height));
    // The bitmap stays selected: the surface persists between paints.
    surface_select_ = std::make_unique<ScopedSelect>(surface_dc_.get(), surface_.get());
    surface_width_ = width;
    surface_height_ = height;
}

void ClockWindow::paint_picture(HDC dc) {
    if (!drawn_face_) return;
    if (!picture_dc_) picture_dc_.reset(CreateCompatibleDC(dc));
    if (picture_in_dc_ != drawn_face_.bitmap.get()) {
        picture_select_.reset();
        picture_select_ = std::make_unique<ScopedSelect>(picture_dc_.get(), drawn_face_.bitmap.get());
        picture_in_dc_ = drawn_face_.bitmap.get();
    }
    BitBlt(dc, 0, 0, drawn_face_.width, drawn_face_.height, picture_dc_.get(), 0, 0, SRCCOPY);
}

void ClockWindow::paint_labels(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    if (label_shown(FaceLabel::time)) draw_label(dc, face_labels::time_label, texts_.time);
    if (label_shown(FaceLabel::weekday)) draw_label(dc, face_labels::weekday_label, texts_.weekday);
    if (label_shown(FaceLabel::year_month)) draw_label(dc, face_labels::year_month_label, texts_.year_month);
    if (label_shown(FaceLabel::day)) draw_label(dc, face_labels::day_label, texts_.day);
    draw_label(dc, face_labels::studio_label, std::string(studio_name));
}

// Marks and hands in the face's own -1..1 system over the design client area.
void ClockWindow::paint_lines(HDC dc) {
    const FaceLayout layout = face_layout(scale_.twips());
    const int face_w = layout.face_width, face_h = layout.face_height;
    for (const FaceLine& line : lines_) {
        const FacePoint a = face_to_client(line.from, face_w, face_h), b = face_to_client(line.to, face_w, face_h);
        const COLORREF colour = colorref_from_ole(line.colour);
        if (std::lround(a.x) == std::lround(b.x) && std::lround(a.y) == std::lround(b.y)) {
            // A line of no length shows as a dot of its width.
            const int r = pen_width(line.width_px, scale_.twips());
            RECT dot{static_cast<LONG>(std::lround(a.x - r / 2.0)), static_cast<LONG>(std::lround(a.y - r / 2.0)), 0, 0};
            dot.right = dot.left + r;
            dot.bottom = dot.top + r;
            SetDCBrushColor(dc, colour);
            FillRect(dc, &dot, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        } else {
            ScopedSelect keep_pen(dc, pen_for(pen_width(line.width_px, scale_.twips()), colour));
            MoveToEx(dc, static_cast<int>(std::lround(a.x)), static_cast<int>(std::lround(a.y)), nullptr);
            LineTo(dc, static_cast<int>(std::lround(b.x)), static_cast<int>(std::lround(b.y)));
        }
    }
}

// The black hub over the centre.
void ClockWindow::paint_hub(HDC dc) {
    const FaceLayout layout = face_layout(scale_.twips());
    const int face_w = layout.face_width, face_h = layout.face_height;
    const FacePoint centre = face_to_client({0, 0}, face_w, face_h);
    const double rx = hub_radius * face_w / 2, ry = hub_radius * face_h / 2;
    ScopedSelect keep_brush(dc, GetStockObject(BLACK_BRUSH));
    ScopedSelect keep_pen(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, static_cast<int>(std::lround(centre.x - rx)), static_cast<int>(std::lround(centre.y - ry)),
            static_cast<int>(std::lround(centre.x + rx)) + 1, static_cast<int>(std::lround(centre.y + ry)) + 1);
}

HFONT ClockWindow::font_for(const LabelDesign& design) {
    auto& font = fonts_[&design];
    if (!font) font = font_from_points({design.font, design.points, design.bold ? FW_BOLD : FW_NORMAL}, scale_.dpi());
    return font.get();
}

void ClockWindow::draw_label(HDC dc, const LabelDesign& design, const std::string& text) {
    RECT box = label_rect(design);
    if (design.framed) FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ScopedSelect keep_font(dc, font_for(design));
    SetTextColor(dc, colorref_from_ole(design.colour));
    RECT inner = box;
    if (design.framed) InflateRect(&inner, -1, -1);
    const UINT align = design.align == LabelAlign::right ? DT_RIGHT : DT_CENTER;
    const std::wstring wide = widen(text);
    // One line, never cut: a weekday in a fallback font may be wider than its box.
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &inner, align | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
}

void ClockWindow::set_texts(const FaceTexts& texts) {
    texts_ = texts;
    render();
}

// A tick moves the hands and rewrites the time label; only where they were
// and where they are now goes to the screen, not the whole layered window.
void ClockWindow::show_hands(const std::array<FaceLine, 3>& hands) {
    for (const int i : {0, 13, 14}) add_changed(line_bounds(lines_[i]));
    lines_[0] = hands[0];
    lines_[13] = hands[1];
    lines_[14] = hands[2];
    for (const int i : {0, 13, 14}) add_changed(line_bounds(lines_[i]));
}

void ClockWindow::show_texts(const FaceTexts& texts) {
    const auto changed = [&](const LabelDesign& design, const std::string& before, const std::string& now) {
        if (before == now) return;
        // Room for text wider than its box (drawn unclipped).
        RECT r = label_rect(design);
        InflateRect(&r, 24, 4);
        add_changed(r);
    };
    changed(face_labels::time_label, texts_.time, texts.time);
    changed(face_labels::weekday_label, texts_.weekday, texts.weekday);
    changed(face_labels::year_month_label, texts_.year_month, texts.year_month);
    changed(face_labels::day_label, texts_.day, texts.day);
    texts_ = texts;
}

void ClockWindow::draw_hub() {
    const RECT changed = changed_;
    changed_ = RECT{};
    render(IsRectEmpty(&changed) ? nullptr : &changed);
}

void ClockWindow::start_tick_timer(ClockTick& tick) {
    tick_ = &tick;
    SetTimer(hwnd_, tick_timer_id, static_cast<UINT>(tick.next_interval_ms()), nullptr);
}

void ClockWindow::set_size_twips(int width, int height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, scale_.px(width), scale_.px(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ClockWindow::set_caption(std::string_view caption) { SetWindowTextW(hwnd_, widen(caption).c_str()); }

void ClockWindow::set_elliptic_region(clock_design::Ellipse) {
    // The one region of the clock, laid out for the window's DPI (and laid
    // out again when the DPI changes).
    region_set_ = true;
    apply_region();
}

void ClockWindow::move_twips(int left, int top) {
    SetWindowPos(hwnd_, nullptr, scale_.px(left), scale_.px(top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ClockWindow::make_topmost() {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void ClockWindow::set_label_visible(FaceLabel label, bool visible) {
    label_visible_[label] = visible;
    // A hidden day label has no tooltip; the next time the mouse rests on
    // the shown label registers it again.
    if (label == FaceLabel::day && !visible && day_label_tool_) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = hwnd_;
        tool.uId = 5;
        SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        day_label_tool_ = false;
    }
    render();
}

bool ClockWindow::load_skin(std::string_view path) {
    const auto bytes = Win32FileSystem().read_bytes(path);
    if (!bytes) return false;
    // A built-in face comes as a copy of its resource; it is then drawn from
    // the drawing made for this DPI, not enlarged from the small one.
    Win32Resources resources;
    for (int i = 0; i < clock_design::built_in_skin_count; ++i) {
        const int resource = clock_design::built_in_skin_first_resource + i;
        if (resources.load("GIF", resource) == bytes) {
            face_resource_ = resource;
            skin_ = {};
            prepare_face();
            render();
            return true;
        }
    }
    Picture picture = decode_picture(*bytes);
    if (!picture) return false;
    // The old picture leaves its DC before it is freed.
    picture_select_.reset();
    picture_in_dc_ = nullptr;
    skin_ = std::move(picture);
    prepare_face();
    render();
    return true;
}

void ClockWindow::make_layered_colour_key(unsigned colour_key) {
    SetWindowLongW(hwnd_, GWL_EXSTYLE, GetWindowLongW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd_, colorref_from_ole(colour_key), 0, LWA_COLORKEY);
}

void ClockWindow::show_tray_icon(std::string_view tooltip) {
    in_tray_ = true;
    tray_tooltip_ = std::string(tooltip);
    add_tray_icon();
}

void ClockWindow::add_tray_icon() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd_;
    data.uID = 1;
    data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    data.uCallbackMessage = tray_callback_message;
    data.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
    wcsncpy(data.szTip, widen(tray_tooltip_).c_str(), std::size(data.szTip) - 1);
    // Without a taskbar yet the icon waits for the taskbar's message.
    icon_added_ = Shell_NotifyIconW(icon_added_ ? NIM_MODIFY : NIM_ADD, &data) || icon_added_;
}

void ClockWindow::remove_tray_icon() {
    if (!in_tray_) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd_;
    data.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &data);
    in_tray_ = false;
    icon_added_ = false;
}

void ClockWindow::show() { ShowWindow(hwnd_, SW_SHOWNOACTIVATE); }
void ClockWindow::hide() { ShowWindow(hwnd_, SW_HIDE); }

}  // namespace tockly::win
