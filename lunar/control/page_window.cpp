#include "lunar/control/page_window.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <utility>

#include "lunar/control/module.h"
#include "win32kit/window.h"

namespace lunetra {

using namespace win32kit;

namespace {

constexpr const wchar_t* kPageClass = L"LunetraPage";
constexpr const wchar_t* kSpinnerClass = L"LunetraSpinner";
constexpr int kYearListId = 101;
constexpr int kMonthListId = 102;
constexpr int kYearSpinnerId = 103;
constexpr int kMonthSpinnerId = 104;
constexpr UINT_PTR kSpinTimerId = 1;
constexpr UINT kSpinTimerMs = 100;
// The lists' closed field is as tall as the spinner in front of it, so that
// nothing of it shows; the open list holds about a dozen entries.
constexpr int kListFieldItemHeight = 14;
constexpr int kListDropHeight = 220;

bool g_classes_registered = false;

// The page lives in a host's process, and its messages come from the
// host's loop: nothing thrown while handling one may leave the procedure.
template <typename Handle>
LRESULT Contained(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, Handle&& handle) noexcept {
    try {
        return handle();
    } catch (...) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

constexpr UINT PressOf(UINT release) {
    switch (release) {
        case WM_LBUTTONUP: return WM_LBUTTONDOWN;
        case WM_RBUTTONUP: return WM_RBUTTONDOWN;
        case WM_MBUTTONUP: return WM_MBUTTONDOWN;
        default: return 0;
    }
}

}  // namespace

void PageWindow::RegisterClasses() {
    if (g_classes_registered) return;
    WNDCLASSEXW page = {};
    page.cbSize = sizeof(page);
    page.lpfnWndProc = PageProc;
    page.hInstance = ModuleInstance();
    page.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    page.lpszClassName = kPageClass;
    RegisterClassExW(&page);
    WNDCLASSEXW spinner = page;
    spinner.lpfnWndProc = SpinnerProc;
    spinner.lpszClassName = kSpinnerClass;
    RegisterClassExW(&spinner);
    g_classes_registered = true;
}

PageWindow::PageWindow(lunar::MonthGrid& grid, PageEvents& events)
    : grid_(grid),
      events_(events),
      year_surface_(lunar::kSpinnerWidth, lunar::kSpinnerHeight),
      month_surface_(lunar::kSpinnerWidth, lunar::kSpinnerHeight) {}

PageWindow::~PageWindow() { Destroy(); }

bool PageWindow::Update() {
    unsigned parts = grid_.TakeRedraw();
    const lunar::PageLayout& layout = grid_.Layout();
    if (page_.width() != layout.width || page_.height() != layout.height) {
        page_ = Surface(layout.width, layout.height);
        parts |= lunar::kRedrawAll;
    }

    bool complete = true;
    const auto draw = [&](HDC dc, const lunar::Drawing& drawing) {
        Render(dc, drawing, fonts_);
        complete = complete && !drawing.lunar_failed;
    };
    // The order of a full redraw: border, the four parts, then the black
    // lines between them.
    if (parts & lunar::kRedrawFrame) draw(page_.dc(), grid_.DrawFrame());
    if (parts & lunar::kRedrawDateGrid) draw(page_.dc(), grid_.DrawDateGrid());
    if (parts & lunar::kRedrawWeekHeader) draw(page_.dc(), grid_.DrawWeekHeader());
    if (parts & lunar::kRedrawTermBar) draw(page_.dc(), grid_.DrawTermBar());
    if (parts & lunar::kRedrawTitleBar) draw(page_.dc(), grid_.DrawTitleBar());
    if (parts & lunar::kRedrawFrame) draw(page_.dc(), grid_.DrawFrameLines());
    if (parts & lunar::kRedrawYearSpinner) draw(year_surface_.dc(), grid_.DrawSpinner(lunar::Spinner::Year));
    if (parts & lunar::kRedrawMonthSpinner) draw(month_surface_.dc(), grid_.DrawSpinner(lunar::Spinner::Month));

    if (hwnd_) {
        constexpr unsigned kPageParts = lunar::kRedrawFrame | lunar::kRedrawTitleBar | lunar::kRedrawWeekHeader |
                                        lunar::kRedrawDateGrid | lunar::kRedrawTermBar;
        if (parts & kPageParts) InvalidateRect(hwnd_, nullptr, FALSE);
        if (parts & lunar::kRedrawYearSpinner) InvalidateRect(year_spinner_, nullptr, FALSE);
        if (parts & lunar::kRedrawMonthSpinner) InvalidateRect(month_spinner_, nullptr, FALSE);
        SyncChildren();
    }
    return complete;
}

bool PageWindow::Create(HWND parent, int x, int y) {
    if (hwnd_) return true;
    RegisterClasses();
    Update();
    const lunar::PageLayout& layout = grid_.Layout();
    hwnd_ = CreateWindowExW(0, kPageClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, layout.width,
                            layout.height, parent, nullptr, ModuleInstance(), this);
    if (!hwnd_) return false;
    year_list_ = CreateList(kYearListId, layout.year_spinner_left, true);
    month_list_ = CreateList(kMonthListId, layout.month_spinner_left, false);
    year_spinner_ = CreateSpinner(kYearSpinnerId, layout.year_spinner_left);
    month_spinner_ = CreateSpinner(kMonthSpinnerId, layout.month_spinner_left);
    SyncChildren();
    ShowWindow(hwnd_, SW_SHOWNA);
    return true;
}

void PageWindow::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY forgets the handles
}

void PageWindow::Move(int x, int y) {
    if (!hwnd_) return;
    const lunar::PageLayout& layout = grid_.Layout();
    SetWindowPos(hwnd_, nullptr, x, y, layout.width, layout.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PageWindow::DrawTo(HDC dc, const RECT& bounds) const {
    const lunar::PageLayout& layout = grid_.Layout();
    Surface whole(layout.width, layout.height);
    BitBlt(whole.dc(), 0, 0, layout.width, layout.height, page_.dc(), 0, 0, SRCCOPY);
    for (const auto& [left, surface] : {std::pair{layout.year_spinner_left, &year_surface_},
                                        std::pair{layout.month_spinner_left, &month_surface_}}) {
        BitBlt(whole.dc(), left, lunar::kSpinnerTop, surface->width(), surface->height(), surface->dc(), 0, 0,
               SRCCOPY);
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, whole.dc(), 0,
               0, layout.width, layout.height, SRCCOPY);
}

HWND PageWindow::CreateList(int id, int left, bool years) {
    HWND list = CreateWindowExW(0, L"COMBOBOX", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPSIBLINGS | CBS_DROPDOWNLIST, left,
                                lunar::kSpinnerTop, lunar::kSpinnerWidth, kListDropHeight, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.text()), FALSE);
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), kListFieldItemHeight);
    // Entries "1901年" .. "2090年" and "01月" .. "12月"; list index = year - 1901 or month - 1.
    const int first = years ? lunar::kFirstPageYear : 1;
    const int last = years ? lunar::kLastPageYear : 12;
    for (int n = first; n <= last; ++n) {
        std::wstring text = std::to_wstring(n);
        text.insert(0, (years ? 4 : 2) - std::min<std::size_t>(text.size(), years ? 4 : 2), L'0');
        text += years ? L"年" : L"月";
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return list;
}

HWND PageWindow::CreateSpinner(int id, int left) {
    HWND spinner = CreateWindowExW(0, kSpinnerClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, left,
                                   lunar::kSpinnerTop, lunar::kSpinnerWidth, lunar::kSpinnerHeight, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), this);
    // In front of its list, which only ever shows its drop-down part.
    SetWindowPos(spinner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return spinner;
}

void PageWindow::SyncChildren() {
    const lunar::PageLayout& layout = grid_.Layout();
    const auto place = [](HWND window, int left) {
        RECT now = {};
        GetWindowRect(window, &now);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&now), 2);
        if (now.left != left) {
            SetWindowPos(window, nullptr, left, lunar::kSpinnerTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    };
    place(year_list_, layout.year_spinner_left);
    place(year_spinner_, layout.year_spinner_left);
    place(month_list_, layout.month_spinner_left);
    place(month_spinner_, layout.month_spinner_left);

    const auto select = [](HWND list, int index) {
        if (SendMessageW(list, CB_GETCURSEL, 0, 0) != index) SendMessageW(list, CB_SETCURSEL, index, 0);
    };
    select(year_list_, grid_.YearPickIndex());
    select(month_list_, grid_.MonthPickIndex());

    if (grid_.TimerRunning() != timer_on_) {
        timer_on_ = grid_.TimerRunning();
        if (timer_on_) {
            SetTimer(hwnd_, kSpinTimerId, kSpinTimerMs, nullptr);
        } else {
            KillTimer(hwnd_, kSpinTimerId);
        }
    }
}

HWND PageWindow::ListOf(lunar::Spinner spinner) const {
    return spinner == lunar::Spinner::Year ? year_list_ : month_list_;
}

lunar::Spinner PageWindow::SpinnerOf(HWND spinner_window) const {
    return spinner_window == year_spinner_ ? lunar::Spinner::Year : lunar::Spinner::Month;
}

const Surface& PageWindow::SurfaceOf(lunar::Spinner spinner) const {
    return spinner == lunar::Spinner::Year ? year_surface_ : month_surface_;
}

template <typename Event>
void PageWindow::RunUserEvent(Event&& event) {
    const lunar::OleDate before = grid_.Properties().Value;
    event();
    Update();
    if (grid_.Properties().Value != before) events_.OnUserChangedValue();
}

void PageWindow::OnPress(UINT message, int x, int y) {
    press_message_ = message;
    SetCapture(hwnd_);
    RunUserEvent([&] { grid_.MouseDown(x, y); });
}

void PageWindow::OnRelease(UINT message, int x, int y) {
    if (press_message_ == 0 || PressOf(message) != press_message_) return;
    press_message_ = 0;
    ReleaseCapture();
    RECT client = {};
    GetClientRect(hwnd_, &client);
    const bool clicked = message == WM_LBUTTONUP && PtInRect(&client, POINT{x, y});
    if (grid_.MouseUp(clicked)) events_.OnPageClick();
}

void PageWindow::OnTimer() {
    RunUserEvent([&] { grid_.TimerTick(); });
}

void PageWindow::OnListCommand(int id, int code, HWND list) {
    if (code != CBN_SELENDOK && code != CBN_SELCHANGE) return;
    // While the list is open, wait for the choice instead of following the
    // highlight.
    if (code == CBN_SELCHANGE && SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0)) return;
    const int index = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    if (index < 0) return;
    RunUserEvent([&] {
        if (id == kYearListId) {
            grid_.PickYear(index);
        } else {
            grid_.PickMonth(index);
        }
    });
}

LRESULT CALLBACK PageWindow::PageProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* page = window_owner<PageWindow>(hwnd, message, lparam);
    if (!page) return DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == WM_NCCREATE) page->hwnd_ = hwnd;
    if (message == WM_NCDESTROY) {
        page->hwnd_ = page->year_list_ = page->month_list_ = page->year_spinner_ = page->month_spinner_ = nullptr;
        page->timer_on_ = false;
        page->press_message_ = 0;
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return Contained(hwnd, message, wparam, lparam, [&] { return page->OnPageMessage(message, wparam, lparam); });
}

LRESULT PageWindow::OnPageMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd_, &paint);
            const RECT& r = paint.rcPaint;
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, page_.dc(), r.left, r.top, SRCCOPY);
            EndPaint(hwnd_, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            BitBlt(reinterpret_cast<HDC>(wparam), 0, 0, page_.width(), page_.height(), page_.dc(), 0, 0, SRCCOPY);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            OnPress(message, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            OnRelease(message, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
            return 0;
        case WM_CAPTURECHANGED:
            // The press ended elsewhere (another window took the mouse).
            if (press_message_ != 0 && reinterpret_cast<HWND>(lparam) != hwnd_) {
                press_message_ = 0;
                grid_.MouseUp(false);
            }
            return 0;
        case WM_TIMER:
            if (wparam == kSpinTimerId) OnTimer();
            return 0;
        case WM_COMMAND:
            OnListCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wparam, lparam);
    }
}

LRESULT CALLBACK PageWindow::SpinnerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* page = window_owner<PageWindow>(hwnd, message, lparam);
    if (!page || message == WM_NCDESTROY) return DefWindowProcW(hwnd, message, wparam, lparam);
    return Contained(hwnd, message, wparam, lparam,
                     [&] { return page->OnSpinnerMessage(hwnd, message, wparam, lparam); });
}

LRESULT PageWindow::OnSpinnerMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // The spinner windows exist before their handles are stored: wait for them.
    if (window != year_spinner_ && window != month_spinner_) return DefWindowProcW(window, message, wparam, lparam);
    const lunar::Spinner spinner = SpinnerOf(window);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            const Surface& surface = SurfaceOf(spinner);
            BitBlt(dc, 0, 0, surface.width(), surface.height(), surface.dc(), 0, 0, SRCCOPY);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_PRINTCLIENT: {
            const Surface& surface = SurfaceOf(spinner);
            BitBlt(reinterpret_cast<HDC>(wparam), 0, 0, surface.width(), surface.height(), surface.dc(), 0, 0,
                   SRCCOPY);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const lunar::SpinPress press = grid_.SpinnerDown(spinner, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
            if (press == lunar::SpinPress::Arrow) {
                // The release ends the auto-repeat wherever the mouse is then.
                SetCapture(window);
                Update();
            } else if (press == lunar::SpinPress::OpenList) {
                SendMessageW(ListOf(spinner), CB_SHOWDROPDOWN, TRUE, 0);
            }
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (GetCapture() == window) ReleaseCapture();
            grid_.SpinnerUp(spinner);
            Update();
            return 0;
        case WM_CAPTURECHANGED:
            if (grid_.SpinMode() != 0 && reinterpret_cast<HWND>(lparam) != window) {
                grid_.SpinnerUp(spinner);
                Update();
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

void UnregisterWindowClasses() {
    if (!g_classes_registered) return;
    UnregisterClassW(kPageClass, ModuleInstance());
    UnregisterClassW(kSpinnerClass, ModuleInstance());
    g_classes_registered = false;
}

}  // namespace lunetra
