#include "clock/windows/repeat_picker_window.h"

#include <commctrl.h>

#include "clock/windows/dpi_scale.h"
#include "win32kit/fonts.h"
#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;
namespace design = repeat_picker_design;

namespace {

constexpr DWORD window_style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD window_ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr DWORD child_style = WS_CHILD | WS_VISIBLE;
constexpr int list_drop_height_twips = 3600;

SYSTEMTIME system_date(int year, unsigned month, unsigned day) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    return t;
}

}  // namespace

int RepeatPickerWindow::px(int twips) const { return DpiScale(dpi_).px(twips); }

bool RepeatPickerWindow::run(RepeatPicker& picker) {
    picker_ = &picker;
    closed_ = accepted_ = false;
    if (!create(picker)) {
        picker_ = nullptr;
        return false;
    }
    // Modal as a message box is: the settings dialog waits, the clock ticks on.
    if (owner_) EnableWindow(owner_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    wait_until_closed();
    if (owner_) {
        EnableWindow(owner_, TRUE);
        SetForegroundWindow(owner_);
    }
    if (hwnd_) DestroyWindow(hwnd_);
    picker_ = nullptr;
    return accepted_;
}

void RepeatPickerWindow::wait_until_closed() {
    MSG msg;
    while (!closed_ && hwnd_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: the loop that waits for that must see it too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        if (IsDialogMessageW(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool RepeatPickerWindow::create(const RepeatPicker& picker) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = window_proc;
        wc.hInstance = instance_;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = repeat_picker_class_name;
        registered = RegisterClassExW(&wc) != 0;
        if (!registered) return false;
        INITCOMMONCONTROLSEX common{sizeof common, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&common);
    }
    font_ = font_from_points({design::font.data(), design::points}, dpi_);
    RECT frame{0, 0, px(design::client_width_twips), px(design::client_height_twips)};
    AdjustWindowRectEx(&frame, window_style, FALSE, window_ex_style);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Centred over the settings dialog.
    RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner_) GetWindowRect(owner_, &over);
    const int left = over.left + (over.right - over.left - width) / 2, top = over.top + (over.bottom - over.top - height) / 2;
    CreateWindowExW(window_ex_style, repeat_picker_class_name, widen(picker.title()).c_str(), window_style, left, top,
                    width, height, owner_, nullptr, instance_, this);
    if (!hwnd_) return false;
    create_controls();
    render();
    return true;
}

HWND RepeatPickerWindow::add_control(const wchar_t* cls, std::string_view text, DWORD style, int id,
                                     const design::Place& place) {
    HWND c = CreateWindowExW(0, cls, widen(text).c_str(), child_style | style, px(place.left), px(place.top),
                             px(place.width), px(place.height), hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return c;
}

void RepeatPickerWindow::fill_list(int id, const std::vector<std::string>& names, int selected) {
    HWND list = GetDlgItem(hwnd_, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const auto& name : names) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void RepeatPickerWindow::create_controls() {
    const RepeatPicker& p = *picker_;
    switch (p.kind()) {
    case lunar::RepeatKind::weekdays:
        for (int n = 1; n <= 7; ++n) {
            HWND box = add_control(L"BUTTON", design::weekday_names[static_cast<std::size_t>(n - 1)],
                                   WS_TABSTOP | BS_AUTOCHECKBOX, repeat_picker_ids::weekday_box + n, design::weekday_box(n - 1));
            SendMessageW(box, BM_SETCHECK, p.weekday_ticked(n) ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        break;
    case lunar::RepeatKind::once: {
        HWND box = add_control(DATETIMEPICK_CLASSW, "", WS_TABSTOP | DTS_SHORTDATEFORMAT, repeat_picker_ids::date_box,
                               design::date_box);
        SendMessageW(box, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyy-MM-dd"));
        // The days the calendar knows.
        SYSTEMTIME range[2]{system_date(1901, 1, 1), system_date(2090, 12, 31)};
        SendMessageW(box, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
        const std::chrono::year_month_day d = p.date();
        SYSTEMTIME shown = system_date(static_cast<int>(d.year()), static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
        SendMessageW(box, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&shown));
        break;
    }
    default: {
        design::Place month = design::month_list, day = design::day_list;
        month.height = day.height = list_drop_height_twips;
        add_control(L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, repeat_picker_ids::month_list, month);
        add_control(L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, repeat_picker_ids::day_list, day);
        fill_list(repeat_picker_ids::month_list, p.month_list(), p.month_index());
        fill_list(repeat_picker_ids::day_list, p.day_list(), p.day_index());
        break;
    }
    }
    add_control(L"STATIC", "", SS_LEFT | SS_NOPREFIX, repeat_picker_ids::preview_line, design::preview_line);
    add_control(L"BUTTON", design::ok_caption, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, design::ok_button);
    add_control(L"BUTTON", design::cancel_caption, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, design::cancel_button);
}

void RepeatPickerWindow::render() {
    if (!picker_ || !hwnd_) return;
    SetDlgItemTextW(hwnd_, repeat_picker_ids::preview_line, widen(picker_->preview()).c_str());
    EnableWindow(GetDlgItem(hwnd_, IDOK), picker_->rule().has_value());
}

void RepeatPickerWindow::on_command(int id, int code) {
    if (!picker_) return;
    if (id == IDOK || id == IDCANCEL) {
        // Enter with no rule chosen (no weekday) does nothing.
        if (id == IDOK && !picker_->rule()) return;
        accepted_ = id == IDOK;
        closed_ = true;
        return;
    }
    if (id > repeat_picker_ids::weekday_box && id <= repeat_picker_ids::weekday_box + 7 && code == BN_CLICKED) {
        picker_->tick_weekday(id - repeat_picker_ids::weekday_box,
                              SendDlgItemMessageW(hwnd_, id, BM_GETCHECK, 0, 0) == BST_CHECKED);
    } else if (code == CBN_SELCHANGE && (id == repeat_picker_ids::month_list || id == repeat_picker_ids::day_list)) {
        const auto index = static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0));
        if (id == repeat_picker_ids::day_list) {
            picker_->pick_day(index);
        } else {
            picker_->pick_month(index);
            // A month of fewer days shortens the day list (and the day).
            fill_list(repeat_picker_ids::day_list, picker_->day_list(), picker_->day_index());
        }
    } else {
        return;
    }
    render();
}

void RepeatPickerWindow::on_date_changed(const SYSTEMTIME& date) {
    picker_->set_date(std::chrono::year{date.wYear} / std::chrono::month{date.wMonth} / std::chrono::day{date.wDay});
    render();
}

LRESULT RepeatPickerWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: on_command(LOWORD(wp), HIWORD(wp)); return 0;
    case WM_NOTIFY: {
        const auto* change = reinterpret_cast<const NMDATETIMECHANGE*>(lp);
        if (picker_ && change->nmhdr.code == DTN_DATETIMECHANGE && change->dwFlags == GDT_VALID)
            on_date_changed(change->st);
        return 0;
    }
    case WM_CLOSE:
        closed_ = true;
        return 0;
    case WM_NCDESTROY:
        hwnd_ = nullptr;
        closed_ = true;
        return 0;
    default: break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace tockly::win
