// The repeat picker on screen: a small modal window over the settings dialog
// with seven weekday boxes, a date, or a month and a day list, the day the
// rule rings next, and 确定 / 取消. It renders the RepeatPicker model of
// clock/model/repeat_picker_model and hands it the user's changes.
#pragma once

#include <windows.h>

#include "clock/model/alarm_dialog_model.h"
#include "clock/model/repeat_picker_model.h"
#include "win32kit/handles.h"
#include "win32kit/window.h"

namespace tockly::win {

inline constexpr wchar_t repeat_picker_class_name[] = L"TocklyRepeatPicker";

// Control identifiers, so that the tests find the controls.
namespace repeat_picker_ids {
inline constexpr int weekday_box = 100;  // + 1 Monday .. 7 Sunday
inline constexpr int date_box = 110;
inline constexpr int month_list = 111;
inline constexpr int day_list = 112;
inline constexpr int preview_line = 113;
}  // namespace repeat_picker_ids

class RepeatPickerWindow : public RepeatPickerDialog, public win32kit::Window<RepeatPickerWindow> {
public:
    explicit RepeatPickerWindow(HINSTANCE instance) : instance_(instance) {}
    RepeatPickerWindow(const RepeatPickerWindow&) = delete;
    RepeatPickerWindow& operator=(const RepeatPickerWindow&) = delete;

    // The window it is modal to, and the DPI its lengths are drawn for.
    void set_owner(HWND owner, int dpi) { owner_ = owner, dpi_ = dpi; }
    bool run(RepeatPicker& picker) override;

private:
    friend class win32kit::Window<RepeatPickerWindow>;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    bool create(const RepeatPicker& picker);
    void create_controls();
    HWND add_control(const wchar_t* cls, std::string_view text, DWORD style, int id,
                     const repeat_picker_design::Place& place);
    void fill_list(int id, const std::vector<std::string>& names, int selected);
    void on_command(int id, int code);
    void on_date_changed(const SYSTEMTIME& date);
    void render();
    void wait_until_closed();
    int px(int twips) const;

    HINSTANCE instance_;
    HWND owner_ = nullptr;
    int dpi_ = 96;
    RepeatPicker* picker_ = nullptr;
    win32kit::unique_hfont font_;
    bool closed_ = false, accepted_ = false;
};

}  // namespace tockly::win
