#include "clock/windows/alarm_dialog_window.h"

#include <commctrl.h>

#include <cmath>
#include <optional>
#include <vector>

#include "win32kit/colours.h"
#include "win32kit/common_controls.h"
#include "clock/windows/dpi_scale.h"
#include "win32kit/fonts.h"
#include "win32kit/owner_drawn.h"
#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

namespace {

// Events that wait until the control that raised them has finished its own
// message: a focus change is not the moment to move the focus again.
constexpr UINT msg_got_focus = WM_APP + 20;   // wParam: control id
constexpr UINT msg_lost_focus = WM_APP + 21;  // wParam: control id
constexpr UINT msg_start_target_click = WM_APP + 22;
constexpr UINT msg_combo_click = WM_APP + 23;  // wParam: control id

constexpr DWORD window_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD window_ex_style = WS_EX_CONTROLPARENT;
constexpr DWORD edit_style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD combo_style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
constexpr int combo_list_height_px = 200;


int id_of(Box box) {
    switch (box.control) {
    case Control::time_box: return alarm_dialog_ids::time_box + box.index;
    case Control::sound_box: return alarm_dialog_ids::sound_box + box.index;
    case Control::notice_box: return alarm_dialog_ids::notice_box + box.index;
    case Control::shutdown_box: return alarm_dialog_ids::shutdown_box;
    case Control::start_time_box: return alarm_dialog_ids::start_time_box;
    case Control::start_target_box: return alarm_dialog_ids::start_target_box;
    case Control::skin_box: return alarm_dialog_ids::skin_box;
    case Control::rule_box: return alarm_dialog_ids::rule_box + box.index;
    case Control::snooze_minutes_box: return alarm_dialog_ids::snooze_minutes_box;
    case Control::snooze_count_box: return alarm_dialog_ids::snooze_count_box;
    }
    return 0;
}

std::optional<Box> box_of(int id) {
    if (id >= alarm_dialog_ids::time_box && id < alarm_dialog_ids::time_box + alarm_dialog_design::row_count) return Box{Control::time_box, id - alarm_dialog_ids::time_box};
    if (id >= alarm_dialog_ids::sound_box && id <= alarm_dialog_ids::sound_box + alarm_dialog_design::ticking_box)
        return Box{Control::sound_box, id - alarm_dialog_ids::sound_box};
    if (id >= alarm_dialog_ids::notice_box && id < alarm_dialog_ids::notice_box + alarm_dialog_design::row_count) return Box{Control::notice_box, id - alarm_dialog_ids::notice_box};
    if (id >= alarm_dialog_ids::rule_box && id < alarm_dialog_ids::rule_box + alarm_dialog_design::row_count)
        return Box{Control::rule_box, id - alarm_dialog_ids::rule_box};
    switch (id) {
    case alarm_dialog_ids::shutdown_box: return Box{Control::shutdown_box};
    case alarm_dialog_ids::start_time_box: return Box{Control::start_time_box};
    case alarm_dialog_ids::start_target_box: return Box{Control::start_target_box};
    case alarm_dialog_ids::skin_box: return Box{Control::skin_box};
    case alarm_dialog_ids::snooze_minutes_box: return Box{Control::snooze_minutes_box};
    case alarm_dialog_ids::snooze_count_box: return Box{Control::snooze_count_box};
    default: return std::nullopt;
    }
}

bool is_combo(Box box) {
    return box.control == Control::sound_box || box.control == Control::skin_box || box.control == Control::rule_box;
}

constexpr COLORREF unreadable_rule_colour = RGB(255, 200, 200);

// Every box of the dialog, in the order the model is rendered.
std::vector<Box> all_boxes() {
    std::vector<Box> boxes;
    for (int i = 0; i < alarm_dialog_design::row_count; ++i) {
        boxes.push_back({Control::time_box, i});
        boxes.push_back({Control::sound_box, i});
        boxes.push_back({Control::notice_box, i});
        boxes.push_back({Control::rule_box, i});
    }
    boxes.push_back({Control::sound_box, alarm_dialog_design::ticking_box});
    boxes.push_back({Control::skin_box});
    boxes.push_back({Control::shutdown_box});
    boxes.push_back({Control::start_time_box});
    boxes.push_back({Control::start_target_box});
    boxes.push_back({Control::snooze_minutes_box});
    boxes.push_back({Control::snooze_count_box});
    return boxes;
}

}  // namespace

AlarmDialogWindow::AlarmDialogWindow(HINSTANCE instance, AlarmDialogServices services, ClockGlobals& globals)
    : instance_(instance), services_(services), globals_(globals), rule_picker_(instance) {
    box_font_ = make_font(alarm_dialog_design::box_points, false);
    low_box_font_ = make_font(alarm_dialog_design::small_points, false);
    heading_font_ = make_font(alarm_dialog_design::heading_points, false);
    small_font_ = make_font(alarm_dialog_design::small_points, false);
    number_font_ = make_font(alarm_dialog_design::heading_points, true);
    button_brush_.reset(CreateSolidBrush(colorref_from_ole(alarm_dialog_design::button_face_colour)));
    unreadable_rule_brush_.reset(CreateSolidBrush(unreadable_rule_colour));
}

AlarmDialogWindow::~AlarmDialogWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

int AlarmDialogWindow::px_x(int twips) const { return DpiScale(services_.screen.dpi).px(twips); }
int AlarmDialogWindow::px_y(int twips) const { return DpiScale(services_.screen.dpi).px(twips); }

unique_hfont AlarmDialogWindow::make_font(double points, bool bold) const {
    return font_from_points({alarm_dialog_design::box_font.data(), points, bold ? FW_BOLD : FW_NORMAL}, services_.screen.dpi);
}

void AlarmDialogWindow::open() {
    if (hwnd_) {
        // Already open: only to the front; the load step does not run again.
        if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
        ShowWindow(hwnd_, SW_SHOW);
        BringWindowToTop(hwnd_);
        SetForegroundWindow(hwnd_);
        return;
    }
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = window_proc;
        wc.hInstance = instance_;
        wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
        wc.hIconSm = wc.hIcon;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = alarm_dialog_class_name;
        registered = RegisterClassExW(&wc) != 0;
        if (!registered) return;
        win32kit::load_common_controls();
    }

    model_ = std::make_unique<AlarmDialog>(AlarmDialogPorts{services_.profile, services_.boxes, folders_, services_.resources,
                                                services_.files, services_.face, services_.notice, file_dialog_,
                                                services_.time_format, &clock_, &rule_picker_},
                                     globals_);
    RECT frame{0, 0, px_x(alarm_dialog_design::client_width_twips), px_y(alarm_dialog_design::client_height_twips)};
    AdjustWindowRectEx(&frame, window_style, FALSE, window_ex_style);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Centred on the screen when it first shows.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    hwnd_ = CreateWindowExW(window_ex_style, alarm_dialog_class_name, widen(alarm_dialog_design::caption).c_str(), window_style, left, top,
                            width, height, nullptr, nullptr, instance_, this);
    if (!hwnd_) {
        model_.reset();
        return;
    }
    file_dialog_.set_owner(hwnd_);
    rule_picker_.set_owner(hwnd_, services_.screen.dpi);
    create_controls();
    model_->load();
    render();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    last_focus_ = control({Control::time_box, 0});
    SetFocus(last_focus_);
}

HWND AlarmDialogWindow::add_control(const wchar_t* cls, const std::string& text, DWORD style, DWORD ex_style, int id,
                              alarm_dialog_design::Place place, HFONT font) {
    HWND c = CreateWindowExW(ex_style, cls, widen(text).c_str(), style, px_x(place.left), px_y(place.top),
                             px_x(place.width), px_y(place.height), hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return c;
}

HWND AlarmDialogWindow::add_label(int id, const alarm_dialog_design::Caption& caption, HFONT font, DWORD align) {
    // Captions are as large as their text, as an auto-sized label is.
    ScopedGetDc dc(hwnd_);
    ScopedSelect keep(dc, font);
    const std::wstring wide = widen(caption.text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    // A fallback font may be taller than 宋体; a column heading then moves up
    // rather than disappear behind the first row.
    int top = px_y(caption.top);
    if (caption.top < alarm_dialog_design::row_top(0) && top + size.cy > px_y(alarm_dialog_design::row_top(0)))
        top = px_y(alarm_dialog_design::row_top(0)) - size.cy;
    HWND c = CreateWindowExW(0, L"STATIC", wide.c_str(), WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | align,
                             px_x(caption.left), top, size.cx, size.cy, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return c;
}

void AlarmDialogWindow::add_tooltip(HWND c, std::string_view text) {
    std::wstring wide = widen(text);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(c);
    info.lpszText = wide.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void AlarmDialogWindow::subclass(HWND c, std::optional<Box> box) {
    if (box) boxes_[c] = *box;
    SetWindowSubclass(c, control_proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

HWND AlarmDialogWindow::add_box(Box box, alarm_dialog_design::Place place) {
    const bool combo = is_combo(box);
    const bool low = box.control == Control::start_time_box || box.control == Control::start_target_box;
    if (combo) {
        const DpiScale scale(services_.screen.dpi);
        place.height = scale.twips_of(scale.px(place.height) + scale.scaled(combo_list_height_px));
    }
    HWND c = add_control(combo ? L"COMBOBOX" : L"EDIT", "", combo ? combo_style : edit_style,
                         combo ? 0 : WS_EX_CLIENTEDGE, id_of(box), place,
                         low ? low_box_font_.get() : box_font_.get());
    if (!combo) {
        SendMessageW(c, EM_SETLIMITTEXT, 0, 0);
        subclass(c, box);
        return c;
    }
    // The closed box as high as its design height.
    RECT closed{};
    GetWindowRect(c, &closed);
    const LRESULT field = SendMessageW(c, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    const int wanted = px_y(alarm_dialog_design::row_height);
    if (field > 0) SendMessageW(c, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + wanted - (closed.bottom - closed.top));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(c, &info) && info.hwndItem) {
        subclass(info.hwndItem, box);
        SendMessageW(info.hwndItem, EM_SETLIMITTEXT, 0, 0);
    }
    boxes_[c] = box;
    return c;
}

void AlarmDialogWindow::create_controls() {
    boxes_.clear();
    shown_.clear();
    message_shown_.clear();
    lists_shown_ = -1;
    // Creation order is the Tab order: row by row, then the boxes below, then the button.
    for (int i = 0; i < alarm_dialog_design::row_count; ++i) {
        add_box({Control::time_box, i}, alarm_dialog_design::time_box(i));
        add_box({Control::sound_box, i}, alarm_dialog_design::sound_box(i));
        add_box({Control::notice_box, i}, alarm_dialog_design::notice_box(i));
        add_box({Control::rule_box, i}, alarm_dialog_design::rule_box(i));
    }
    add_box({Control::sound_box, alarm_dialog_design::ticking_box}, alarm_dialog_design::sound_box(alarm_dialog_design::ticking_box));
    add_box({Control::skin_box}, alarm_dialog_design::skin_box);
    add_box({Control::shutdown_box}, alarm_dialog_design::shutdown_box);
    add_box({Control::start_time_box}, alarm_dialog_design::start_time_box);
    add_box({Control::start_target_box}, alarm_dialog_design::start_target_box);
    add_box({Control::snooze_minutes_box}, alarm_dialog_design::snooze_minutes_box);
    add_box({Control::snooze_count_box}, alarm_dialog_design::snooze_count_box);
    HWND button = add_control(L"BUTTON", std::string(alarm_dialog_design::save_caption), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                              0, alarm_dialog_ids::save_button, alarm_dialog_design::save_button, heading_font_.get());
    subclass(button, std::nullopt);
    create_checks();
    create_labels();
    create_tooltips(button);
}

void AlarmDialogWindow::create_labels() {
    for (int i = 0; i < alarm_dialog_design::caption_count; ++i)
        add_label(alarm_dialog_ids::captions + i, alarm_dialog_design::captions[i], i < 3 ? heading_font_.get() : box_font_.get());
    add_label(alarm_dialog_ids::rule_caption, alarm_dialog_design::rule_caption, heading_font_.get());
    for (int i = 0; i < 2; ++i) add_label(alarm_dialog_ids::start_captions + i, alarm_dialog_design::start_captions[i], small_font_.get());
    for (int i = 0; i < 2; ++i)
        add_label(alarm_dialog_ids::snooze_captions + i, alarm_dialog_design::snooze_captions[i], heading_font_.get());
    for (int row = 0; row < alarm_dialog_design::row_count; ++row)
        add_control(L"STATIC", std::to_string(row + 1), WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_CENTERIMAGE, 0,
                    alarm_dialog_ids::row_number + alarm_dialog_design::row_number_index(row), alarm_dialog_design::row_number(row), number_font_.get());
    add_control(L"STATIC", std::string(alarm_dialog_design::first_message), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0,
                alarm_dialog_ids::message_line, alarm_dialog_design::message_line, box_font_.get());
    message_shown_ = alarm_dialog_design::first_message;
}

void AlarmDialogWindow::create_checks() {
    constexpr DWORD check_style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
    add_control(L"BUTTON", std::string(alarm_dialog_design::wake_caption), check_style, 0, alarm_dialog_ids::wake_check,
                alarm_dialog_design::wake_check, small_font_.get());
    add_control(L"STATIC", std::string(alarm_dialog_design::wake_hint_text), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0,
                alarm_dialog_ids::wake_hint, alarm_dialog_design::wake_hint, small_font_.get());
    add_control(L"BUTTON", std::string(alarm_dialog_design::full_screen_caption), check_style, 0,
                alarm_dialog_ids::full_screen_check, alarm_dialog_design::full_screen_check, small_font_.get());
}

void AlarmDialogWindow::create_tooltips(HWND save_button) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_,
                               nullptr);
    for (int i = 0; i < alarm_dialog_design::row_count; ++i) {
        add_tooltip(control({Control::time_box, i}), alarm_dialog_design::time_box_tooltip);
        HWND combo = control({Control::sound_box, i});
        add_tooltip(combo, alarm_dialog_design::sound_box_tooltip);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(combo, &info) && info.hwndItem) add_tooltip(info.hwndItem, alarm_dialog_design::sound_box_tooltip);
    }
    add_tooltip(save_button, alarm_dialog_design::save_tooltip);
}

HWND AlarmDialogWindow::control(Box box) const { return GetDlgItem(hwnd_, id_of(box)); }

std::string AlarmDialogWindow::text_of(HWND c) const {
    const int n = GetWindowTextLengthW(c);
    std::wstring wide(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(c, wide.data(), n + 1);
    wide.resize(static_cast<std::size_t>(std::max(got, 0)));
    return narrow(wide);
}

template <typename Event>
void AlarmDialogWindow::run(Event&& event) {
    if (!model_) return;
    event(*model_);
    render();
}

void AlarmDialogWindow::set_control_text(Box box, const std::string& text) {
    HWND c = control(box);
    const int id = id_of(box);
    shown_[id] = text;
    if (!is_combo(box)) {
        SetWindowTextW(c, widen(text).c_str());
        return;
    }
    // A name of the list is shown selected, anything else as typed text.
    const std::wstring wide = widen(text);
    const LRESULT found = text.empty() ? CB_ERR : SendMessageW(c, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                               reinterpret_cast<LPARAM>(wide.c_str()));
    if (found != CB_ERR) {
        const LRESULT length = SendMessageW(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(found), 0);
        std::wstring item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(c, CB_GETLBTEXT, static_cast<WPARAM>(found), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        // The list search ignores letter case; the text must not.
        if (item == wide) {
            SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
            return;
        }
    }
    SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(c, wide.c_str());
}

void AlarmDialogWindow::render() {
    if (!model_ || !hwnd_) return;
    rendering_ = true;
    const AlarmDialog& m = *model_;
    if (lists_shown_ != m.lists_version()) {
        lists_shown_ = m.lists_version();
        for (const Box& box : all_boxes()) {
            if (!is_combo(box)) continue;
            HWND c = control(box);
            SendMessageW(c, CB_RESETCONTENT, 0, 0);  // also empties the box's text
            for (const auto& name : m.list(box))
                SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
            shown_[id_of(box)].clear();
        }
    }
    for (const Box& box : all_boxes()) {
        const std::string& text = m.text(box);
        if (shown_[id_of(box)] != text || (text.empty() && GetWindowTextLengthW(control(box)) != 0))
            set_control_text(box, text);
        HWND c = control(box);
        const bool enable = m.enabled(box);
        if ((IsWindowEnabled(c) != 0) != enable) {
            EnableWindow(c, enable);
            InvalidateRect(c, nullptr, TRUE);
        }
    }
    for (const auto& [id, check] : {std::pair{alarm_dialog_ids::wake_check, Check::wake},
                                    std::pair{alarm_dialog_ids::full_screen_check, Check::on_top_over_full_screen}})
        CheckDlgButton(hwnd_, id, m.checked(check) ? BST_CHECKED : BST_UNCHECKED);
    if (message_shown_ != m.message()) {
        message_shown_ = m.message();
        SetDlgItemTextW(hwnd_, alarm_dialog_ids::message_line, widen(message_shown_).c_str());
    }
    rendering_ = false;
    apply_requests();
}

void AlarmDialogWindow::apply_requests() {
    for (const AlarmDialogRequest& r : model_->take_requests()) {
        HWND c = control(r.box);
        if (r.kind == AlarmDialogRequest::select_all) {
            if (is_combo(r.box))
                SendMessageW(c, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
            else
                SendMessageW(c, EM_SETSEL, 0, -1);
        } else {
            SetFocus(c);
        }
    }
}

void AlarmDialogWindow::on_command(int id, int code, HWND c) {
    if (rendering_ || !model_) return;
    if (id == alarm_dialog_ids::save_button && code == BN_CLICKED) {
        run([](AlarmDialog& m) { m.save(); });
        return;
    }
    if ((id == alarm_dialog_ids::wake_check || id == alarm_dialog_ids::full_screen_check) && code == BN_CLICKED) {
        const Check check = id == alarm_dialog_ids::wake_check ? Check::wake : Check::on_top_over_full_screen;
        const bool on = IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
        run([&](AlarmDialog& m) { m.check_clicked(check, on); });
        return;
    }
    if (id >= alarm_dialog_ids::captions && id < alarm_dialog_ids::captions + alarm_dialog_design::caption_count && code == STN_CLICKED) {
        run([&](AlarmDialog& m) { m.caption_click(id - alarm_dialog_ids::captions); });
        return;
    }
    const auto box = box_of(id);
    if (!box) return;
    const bool combo = is_combo(*box);
    if ((!combo && code == EN_CHANGE) || (combo && code == CBN_EDITCHANGE)) {
        const std::string text = text_of(c);
        shown_[id] = text;
        run([&](AlarmDialog& m) { m.edited(*box, text); });
    } else if (combo && (code == CBN_SELCHANGE || (code == CBN_CLOSEUP && box->control == Control::rule_box))) {
        // The box shows the picked name once its own notification is over.
        PostMessageW(hwnd_, msg_combo_click, static_cast<WPARAM>(id), 0);
    }
}

HBRUSH AlarmDialogWindow::colour_static(HDC dc, HWND c) {
    const int id = GetDlgCtrlID(c);
    if (id >= alarm_dialog_ids::row_number && id < alarm_dialog_ids::row_number + alarm_dialog_design::row_count)
        SetTextColor(dc, colorref_from_ole(alarm_dialog_design::row_number_colour));
    else if (id == alarm_dialog_ids::message_line)
        SetTextColor(dc, colorref_from_ole(alarm_dialog_design::message_colour));
    // Labels on the dialog's face, and locked boxes in the button-face colour.
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH AlarmDialogWindow::colour_edit(HDC dc, HWND c) {
    const auto it = boxes_.find(c);
    if (model_ && it != boxes_.end() && it->second.control == Control::rule_box && !model_->rule_readable(it->second.index)) {
        SetBkColor(dc, unreadable_rule_colour);
        return unreadable_rule_brush_.get();
    }
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}

void AlarmDialogWindow::draw_button(const DRAWITEMSTRUCT& item) {
    draw_flat_button(item, {button_brush_.get(), heading_font_.get(), GetSysColor(COLOR_BTNTEXT),
                            alarm_dialog_design::save_caption, true});
}

LRESULT AlarmDialogWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        on_command(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_CTLCOLOREDIT:
        return reinterpret_cast<LRESULT>(colour_edit(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(colour_static(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    case WM_DRAWITEM:
        if (on_draw_item(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_ACTIVATE:
        if (on_activate(wp)) return 0;
        break;
    case msg_got_focus:
        if (const auto box = box_of(static_cast<int>(wp))) run([&](AlarmDialog& m) { m.got_focus(*box); });
        return 0;
    case msg_lost_focus: on_box_left(static_cast<int>(wp)); return 0;
    case msg_start_target_click: run([](AlarmDialog& m) { m.start_target_click(); }); return 0;
    case msg_combo_click: on_list_pick(static_cast<int>(wp)); return 0;
    case WM_CLOSE:
        // Nothing is saved on closing; unsaved rows are gone with the window.
        DestroyWindow(hwnd_);
        return 0;
    case WM_NCDESTROY: on_nc_destroy(); return 0;
    default: break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

bool AlarmDialogWindow::on_draw_item(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != static_cast<UINT>(alarm_dialog_ids::save_button)) return false;
    draw_button(item);
    return true;
}

bool AlarmDialogWindow::on_activate(WPARAM wp) {
    // Back to the box that had the focus when the dialog was left.
    if (LOWORD(wp) == WA_INACTIVE || !last_focus_ || !IsWindow(last_focus_) || !IsWindowEnabled(last_focus_))
        return false;
    SetFocus(last_focus_);
    return true;
}

void AlarmDialogWindow::on_box_left(int id) {
    const auto box = box_of(id);
    if (!box) return;
    // Taking the focus back must not count as leaving the box it comes from.
    holding_focus_ = true;
    run([&](AlarmDialog& m) {
        if (box->control == Control::time_box) m.time_box_lost_focus(box->index);
        if (box->control == Control::shutdown_box) m.shutdown_box_lost_focus();
        if (box->control == Control::start_time_box) m.start_time_box_lost_focus();
        if (box->control == Control::snooze_minutes_box || box->control == Control::snooze_count_box)
            m.snooze_box_lost_focus(*box);
    });
    holding_focus_ = false;
}

void AlarmDialogWindow::on_list_pick(int id) {
    const auto box = box_of(id);
    if (!box) return;
    HWND c = control(*box);
    const LRESULT index = SendMessageW(c, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    const LRESULT length = SendMessageW(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return;
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(c, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(static_cast<std::size_t>(length));
    const std::string picked = narrow(wide);
    // A repeat choice counts once its list is closed: running the mouse over
    // 每周… is no reason to open the picker.
    // The list's closing and its change both ask; the picker's own message
    // loop must not open a second picker over the first.
    if (box->control == Control::rule_box &&
        (picking_rule_ || SendMessageW(c, CB_GETDROPPEDSTATE, 0, 0) || picked == model_->text(*box)))
        return;
    shown_[id] = picked;
    picking_rule_ = box->control == Control::rule_box;
    run([&](AlarmDialog& m) {
        if (box->control == Control::skin_box)
            m.skin_picked(picked);
        else if (box->control == Control::rule_box)
            m.rule_picked(box->index, picked);
        else
            m.sound_picked(box->index, picked);
    });
    picking_rule_ = false;
}

void AlarmDialogWindow::on_nc_destroy() {
    hwnd_ = nullptr;
    tooltip_ = nullptr;
    last_focus_ = nullptr;
    boxes_.clear();
    model_.reset();
    file_dialog_.set_owner(nullptr);
    rule_picker_.set_owner(nullptr, services_.screen.dpi);
}

LRESULT CALLBACK AlarmDialogWindow::control_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<AlarmDialogWindow*>(self)->handle_control(hwnd, msg, wp, lp);
}

LRESULT AlarmDialogWindow::handle_control(HWND c, UINT msg, WPARAM wp, LPARAM lp) {
    const auto it = boxes_.find(c);
    const std::optional<Box> box = it == boxes_.end() ? std::nullopt : std::optional<Box>(it->second);
    switch (msg) {
    case WM_SETFOCUS:
        last_focus_ = c;
        if (box) PostMessageW(hwnd_, msg_got_focus, static_cast<WPARAM>(id_of(*box)), 0);
        break;
    case WM_KILLFOCUS: {
        // Leaving a box for another control of the dialog; switching to
        // another window is not leaving it (the focus comes back to it).
        HWND to = reinterpret_cast<HWND>(wp);
        const bool checked = box && (box->control == Control::time_box || box->control == Control::shutdown_box ||
                                     box->control == Control::start_time_box ||
                                     box->control == Control::snooze_minutes_box ||
                                     box->control == Control::snooze_count_box);
        if (checked && !holding_focus_ && to && IsChild(hwnd_, to))
            PostMessageW(hwnd_, msg_lost_focus, static_cast<WPARAM>(id_of(*box)), 0);
        break;
    }
    case WM_KEYDOWN:
        if (wp == VK_TAB) {
            HWND from = box && is_combo(*box) ? control(*box) : c;
            if (HWND next = GetNextDlgTabItem(hwnd_, from, GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wp == '\t') return 0;
        if (wp == VK_RETURN && box) {
            int key = alarm_dialog_design::enter_key;
            run([&](AlarmDialog& m) { m.key_press(*box, key); });
            if (key == 0) return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (box && box->control == Control::start_target_box) PostMessageW(hwnd_, msg_start_target_click, 0, 0);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(c, control_proc, 1);
        break;
    default:
        break;
    }
    return DefSubclassProc(c, msg, wp, lp);
}

}  // namespace tockly::win
