// The month page on screen: the control's window with its two spinners and
// the two drop-down lists behind them. It renders the model into persistent
// surfaces, copies them to the screen when asked to paint, and turns mouse,
// timer and list messages into model events.
#pragma once

#include <windows.h>

#include "lunar/control/gdi_render.h"
#include "lunar/core/month_grid.h"

namespace lunetra {

// What the page reports to the control object.
class PageEvents {
public:
    // The user moved Value (a day, a spinner step, a list choice).
    virtual void OnUserChangedValue() = 0;
    // A click on the control followed a day selection: raise Click.
    virtual void OnPageClick() = 0;

protected:
    ~PageEvents() = default;
};

class PageWindow {
public:
    PageWindow(lunar::MonthGrid& grid, PageEvents& events);
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;
    ~PageWindow();

    // Draws the parts the model marked stale into the surfaces and refreshes
    // the windows. False when a part's lunar texts could not be drawn (the
    // rest of that part is drawn all the same).
    bool Update();

    // The in-place window, a child of `parent` at (x, y) in the page's size.
    bool Create(HWND parent, int x, int y);
    void Destroy();
    HWND hwnd() const { return hwnd_; }
    // Follows the model's size after a resize.
    void Move(int x, int y);

    // The page as it looks now (spinners included), scaled into `bounds`.
    void DrawTo(HDC dc, const RECT& bounds) const;

private:
    static void RegisterClasses();
    static LRESULT CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK SpinnerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnPageMessage(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnSpinnerMessage(HWND spinner_window, UINT message, WPARAM wparam, LPARAM lparam);

    void OnPress(UINT message, int x, int y);
    void OnRelease(UINT message, int x, int y);
    void OnTimer();
    void OnListCommand(int id, int code, HWND list);
    // Runs a model event; tells the control when it moved Value.
    template <typename Event>
    void RunUserEvent(Event&& event);

    HWND CreateList(int id, int left, bool years);
    HWND CreateSpinner(int id, int left);
    void SyncChildren();
    HWND ListOf(lunar::Spinner spinner) const;
    lunar::Spinner SpinnerOf(HWND spinner_window) const;
    const Surface& SurfaceOf(lunar::Spinner spinner) const;

    lunar::MonthGrid& grid_;
    PageEvents& events_;
    PageFonts fonts_;
    Surface page_;
    Surface year_surface_;
    Surface month_surface_;

    HWND hwnd_ = nullptr;
    HWND year_list_ = nullptr;
    HWND month_list_ = nullptr;
    HWND year_spinner_ = nullptr;
    HWND month_spinner_ = nullptr;
    UINT press_message_ = 0;  // the button-down message of the press in progress
    bool timer_on_ = false;
};

// The window classes are registered on first use; forget them when the file
// is unloaded.
void UnregisterWindowClasses();

}  // namespace lunetra
