// AlarmDialog on screen: the alarm and settings dialog with every control at its
// design place. It renders the AlarmDialog model and turns the controls' messages
// into the model's events; the rules live in clock/model/alarm_dialog_model.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "clock/model/alarm_dialog_model.h"
#include "clock/windows/alarm_dialog_ports.h"
#include "clock/windows/repeat_picker_window.h"
#include "clock/windows/wall_clock.h"
#include "win32kit/handles.h"
#include "clock/model/notice_band_model.h"
#include "win32kit/window.h"

namespace tockly::win {

inline constexpr wchar_t alarm_dialog_class_name[] = L"TocklyForm2";

// Control identifiers, so that other programs (and the tests) find the controls.
namespace alarm_dialog_ids {
inline constexpr int time_box = 1000;   // + row
inline constexpr int sound_box = 1100;  // + index 0..10
inline constexpr int notice_box = 1200;   // + row
inline constexpr int shutdown_box = 1300;
inline constexpr int start_time_box = 1301;
inline constexpr int start_target_box = 1302;
inline constexpr int skin_box = 1303;
inline constexpr int captions = 1400;  // + index 0..6
inline constexpr int row_number = 1500;  // + index 0..9
inline constexpr int message_line = 1600;
inline constexpr int start_captions = 1700;  // + index 0..1
inline constexpr int save_button = 1800;
inline constexpr int rule_box = 1900;  // + row
inline constexpr int rule_caption = 1950;
}  // namespace alarm_dialog_ids

// The captions show the notice window itself.
class NoticeBandCaption : public CaptionNotice {
public:
    explicit NoticeBandCaption(NoticeBand& notice) : notice_(notice) {}
    void Show() override { notice_.Show(); }
private:
    NoticeBand& notice_;
};

// What the dialog works with besides its own ports; all owned by the program.
struct AlarmDialogServices {
    ProfileStore& profile;
    MessageBoxes& boxes;
    Resources& resources;
    FileSystem& files;
    FaceWindow& face;
    CaptionNotice& notice;
    TimeFormat time_format;
    ScreenMetrics screen;
};

class AlarmDialogWindow : public win32kit::Window<AlarmDialogWindow> {
public:
    AlarmDialogWindow(HINSTANCE instance, AlarmDialogServices services, ClockGlobals& globals);
    ~AlarmDialogWindow();
    AlarmDialogWindow(const AlarmDialogWindow&) = delete;
    AlarmDialogWindow& operator=(const AlarmDialogWindow&) = delete;

    // Creates, loads and centres the dialog, or brings the open one to the front.
    void open();

private:
    friend class win32kit::Window<AlarmDialogWindow>;
    static LRESULT CALLBACK control_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle_control(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void on_command(int id, int code, HWND control);
    bool on_draw_item(const DRAWITEMSTRUCT& item);
    bool on_activate(WPARAM wp);
    // The user left a box that checks its text on leaving.
    void on_box_left(int id);
    // A name picked from a box's list.
    void on_list_pick(int id);
    void on_nc_destroy();
    void create_controls();
    HWND add_box(Box box, alarm_dialog_design::Place place);
    void subclass(HWND control, std::optional<Box> box);
    void create_labels();
    void create_tooltips(HWND save_button);
    HWND add_control(const wchar_t* cls, const std::string& text, DWORD style, DWORD ex_style, int id,
                     alarm_dialog_design::Place place, HFONT font);
    HWND add_label(int id, const alarm_dialog_design::Caption& caption, HFONT font, DWORD align = SS_LEFT);
    void add_tooltip(HWND control, std::string_view text);
    void draw_button(const DRAWITEMSTRUCT& item);
    HBRUSH colour_static(HDC dc, HWND control);
    // Boxes on white; a repeat box whose rule the program cannot read in pink.
    HBRUSH colour_edit(HDC dc, HWND control);

    // Runs one event of the model and shows what it changed.
    template <typename Event>
    void run(Event&& event);
    void render();
    void apply_requests();
    void set_control_text(Box box, const std::string& text);
    HWND control(Box box) const;
    std::string text_of(HWND control) const;

    int px_x(int twips) const;
    int px_y(int twips) const;
    win32kit::unique_hfont make_font(double points, bool bold) const;

    HINSTANCE instance_;
    AlarmDialogServices services_;
    ClockGlobals& globals_;
    Win32Folders folders_;
    Win32FileOpenDialog file_dialog_;
    Win32WallClock clock_;
    RepeatPickerWindow rule_picker_;
    std::unique_ptr<AlarmDialog> model_;
    HWND tooltip_ = nullptr;
    HWND last_focus_ = nullptr;
    std::map<HWND, Box> boxes_;            // edits, combos and the combos' edit parts
    std::map<int, std::string> shown_;     // control id -> the text the control shows
    std::string message_shown_;
    int lists_shown_ = -1;
    bool rendering_ = false;               // the controls' notifications are our own doing
    bool holding_focus_ = false;           // a time box takes the focus back
    bool picking_rule_ = false;            // the repeat picker is open
    win32kit::unique_hfont box_font_, low_box_font_, heading_font_, small_font_, number_font_;
    win32kit::unique_hbrush button_brush_, unreadable_rule_brush_;
};

}  // namespace tockly::win
