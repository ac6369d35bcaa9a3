// AlarmDialog, the alarm and settings dialog: ten alarm rows (time, ring, notice),
// the ticking sound, the skin, the scheduled shutdown and the scheduled start.
// This is the dialog's behaviour; clock/windows/alarm_dialog_window draws it and turns
// the window's messages into the events below.
//
// The model holds what the boxes show. An event from the window first puts
// the box's new text here and then runs the handler; when a handler changes
// a box itself, it does so as the program always has, raising the box's own
// change handler (a time box unlocks the row below). Focus moves and
// select-all are requests that the window carries out afterwards.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clock/model/clock_state.h"
#include "clock/support/file_list.h"
#include "clock/support/ports.h"
#include "clock/model/startup.h"
#include "clock/support/local_time.h"
#include "clock/support/time_text.h"
#include "clock/model/repeat_picker_model.h"
#include "lunar/core/repeat_rule.h"

namespace tockly {

namespace alarm_dialog_design {
inline constexpr int row_count = 10;
inline constexpr int ticking_box = 10;  // sound_box(10) belongs to no row
inline constexpr int caption_count = 7;  // captions(0) .. captions(6)

inline constexpr std::string_view caption =
    "闹铃设置【24小时制 或 12小时制 是根据你自己电脑的设置而定，最好使用24小时制】";
// Wider than the rows' first three columns by the repeat column, which is as
// wide as its longest usual text ("仅一次 2026-10-10") at the boxes' size.
inline constexpr int client_width_twips = 11955;
inline constexpr int client_height_twips = 6810;

struct Place {
    int left, top, width, height;  // twips in the client area; 0 size: fit the text
};

// The rows: time_box(i), sound_box(i), notice_box(i) at the same top.
inline constexpr int row_top(int row) { return 450 + 480 * row; }
inline constexpr int row_height = 405;
inline constexpr Place time_box(int row) { return {420, row_top(row), 1365, row_height}; }
inline constexpr Place sound_box(int row) {
    return row == ticking_box ? Place{1770, 5310, 2655, 405} : Place{1800, row_top(row), 2655, row_height};
}
inline constexpr Place notice_box(int row) { return {4470, row_top(row), 4425, row_height}; }
inline constexpr Place rule_box(int row) { return {8970, row_top(row), 2910, row_height}; }
// row_number: the row numbers "1" to "10" from the top; its indices run 0, 9, 8 .. 1.
inline constexpr int row_number_index(int row) { return row == 0 ? 0 : row_count - row; }
inline constexpr Place row_number(int row) { return {30, row_top(row), 360, row_height}; }

inline constexpr Place skin_box{6240, 5340, 2655, 405};
inline constexpr Place shutdown_box{1770, 5850, 2655, 405};
inline constexpr Place start_time_box{6660, 5820, 2235, 270};
inline constexpr Place start_target_box{6660, 6090, 2235, 270};
inline constexpr Place message_line{-30, 6420, client_width_twips + 60, 375};
inline constexpr Place save_button{7890, 60, 1005, 315};

struct Caption {
    int left, top;
    std::string_view text;
};
inline constexpr std::array<Caption, caption_count> captions{{
    {360, 240, "闹铃时间(时:分)"},
    {2490, 240, "铃声选择"},
    {5490, 240, "屏幕提示内容"},
    {5010, 5400, "更换皮肤"},
    {420, 5370, "发条声音"},
    {420, 5910, "定时关机"},
    {5010, 5940, "定时启动"},
}};
inline constexpr Caption rule_caption{8970, 240, "重复"};
inline constexpr std::array<Caption, 2> start_captions{{{6300, 5880, "时间"}, {6300, 6150, "内容"}}};

inline constexpr std::string_view box_font = "宋体";
inline constexpr double box_points = 14.25;       // boxes and the message line
inline constexpr double heading_points = 10.5;    // the column headings and the button
inline constexpr double small_points = 9;         // the other captions and the two low boxes
inline constexpr unsigned row_number_colour = 0xFF0000;   // blue (OLE colours are 0x00BBGGRR)
inline constexpr unsigned message_colour = 0x0000C0;      // dark red
inline constexpr unsigned button_face_colour = 0xC0FFC0;  // light green

inline constexpr std::string_view save_caption = "保 存";
inline constexpr std::string_view save_tooltip = "全部设置完成点击“确认”";
inline constexpr std::string_view time_box_tooltip = "输入时：数字中间采用冒号或点间隔即可。";
inline constexpr std::string_view sound_box_tooltip = "闹铃：MP3音乐文件";

// The list of a repeat box: three rules, then four choices that open the picker.
using repeat_picker_design::rule_choices;
inline constexpr std::string_view unreadable_rule_message = "行的重复规则看不懂，保存后按每天响铃：";

// Message line texts.
inline constexpr std::string_view first_message = "不需要的项目请删除保留为空即可";
inline constexpr std::string_view saved_message = "数据修改完毕！";
inline constexpr std::string_view nothing_saved_message = "还没有输入任何闹铃定时时间";
// A save the settings file did not take (its error box has been shown).
inline constexpr std::string_view not_saved_message = "闹铃没有保存：设置文件无法写入！";
inline constexpr std::string_view bad_time_message = "您输入的时间有问题！";

// The program picker's file-open dialog.
inline constexpr std::string_view picker_title = "请选择一个定时启动的文件";
inline constexpr std::string_view picker_filter = "应用程序|*.EXE|文本文件|*.TXT|所有文件|*.*";
inline constexpr int picker_filter_index = 1;

inline constexpr int enter_key = 13;
}  // namespace alarm_dialog_design

// "Rows 3 to 5 were dropped" in the user's words: the first empty time box
// (counted from 1 as the dialog shows it) and how many rows below it still
// held a time.
std::string dropped_rows_text(int first_empty_row, int dropped);
// "File name X holds a space and could not be renamed".
std::string refused_rename_text(std::string_view name);

// A file-open dialog filter "name|pattern|name|pattern" as pairs.
std::vector<std::pair<std::string, std::string>> split_filter(std::string_view filter);

// The notice window, shown straight away by the dialog's captions.
class CaptionNotice {
public:
    virtual ~CaptionNotice() = default;
    virtual void Show() = 0;
};

// The system's file-open dialog (modal): the chosen file's full path, or
// empty when the user cancelled.
class FileOpenDialog {
public:
    virtual ~FileOpenDialog() = default;
    virtual std::string open(std::string_view title, std::string_view filter, int filter_index) = 0;
};

enum class Control { time_box, sound_box, notice_box, shutdown_box, start_time_box, start_target_box, skin_box, rule_box };

// What a repeat box shows for a stored rule: its readable form (每周一三五,
// 农历八月十五); an unreadable text as it is, so that it is not lost.
std::string rule_box_text(std::string_view stored);
// The rule a repeat box's text means, or nothing (and why) when none.
std::optional<lunar::RepeatRule> rule_of_box_text(std::string_view text, std::string* why = nullptr);

// The repeat picker's window (modal): true when the user took the rule it
// shows, false when they cancelled.
class RepeatPickerDialog {
public:
    virtual ~RepeatPickerDialog() = default;
    virtual bool run(RepeatPicker& picker) = 0;
};

struct Box {
    Control control = Control::time_box;
    int index = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

struct AlarmDialogRequest {
    enum Kind { focus, select_all } kind;
    Box box;
    friend bool operator==(const AlarmDialogRequest&, const AlarmDialogRequest&) = default;
};

struct AlarmDialogPorts {
    ProfileStore& profile;
    MessageBoxes& boxes;
    Folders& folders;
    Resources& resources;
    FileSystem& files;
    FaceWindow& face;  // the clock window: the skin box changes its picture
    CaptionNotice& notice;
    FileOpenDialog& file_dialog;
    TimeFormat time_format;
    // Today, for the pickers and the next ring shown; none: no clock.
    WallClock* clock = nullptr;
    // The picker of 每周… and the other choices that need a day; none: the
    // box takes the picker's first proposal (Monday to Friday, today).
    RepeatPickerDialog* rule_picker = nullptr;
};

class AlarmDialog {
public:
    // The globals are the clock's own: what the dialog saves there, the
    // clock's next tick uses.
    AlarmDialog(AlarmDialogPorts ports, ClockGlobals& globals);

    void load();
    void save();
    void caption_click(int index);

    // The user changed the text of a box (typing, pasting, deleting).
    void edited(Box box, std::string_view text);
    void time_box_lost_focus(int row);
    void shutdown_box_lost_focus();
    void start_time_box_lost_focus();
    void got_focus(Box box);
    // Enter (13) is consumed (set to 0) where the dialog walks on with it.
    void key_press(Box box, int& key_ascii);
    // A name picked from the list of a sound box (0..9 rows, 10 ticking).
    void sound_picked(int index, std::string_view picked);
    void skin_picked(std::string_view picked);
    // A choice of rule_choices picked from the list of a repeat box; the
    // choices that need a day open the picker, and cancelling it leaves the
    // box as it was.
    void rule_picked(int row, std::string_view picked);
    // Whether the repeat box of the row holds a rule the program can read.
    bool rule_readable(int row) const;
    void start_target_click();

    // What the window shows.
    const std::string& text(Box box) const;
    bool enabled(Box box) const;
    bool row_available(int row) const { return available_.at(static_cast<std::size_t>(row)); }
    const std::string& message() const { return message_; }
    const std::vector<std::string>& list(Box box) const;
    // Changes each time the lists are rebuilt, so the window refills them only then.
    int lists_version() const { return lists_version_; }
    // Focus moves and selections asked for since the last call, in order.
    std::vector<AlarmDialogRequest> take_requests();

private:
    std::string& slot(Box box);
    void set_text(Box box, std::string_view text);
    void time_box_changed(int row);
    void rule_box_changed(int row);
    std::chrono::sys_days today() const;
    bool valid_time(std::string_view text) const;
    void single_time_lost_focus(Box box, std::string_view section, std::string_view key,
                                std::string& global);
    void hold_focus(Box box);
    void request(AlarmDialogRequest::Kind kind, Box box) { requests_.push_back({kind, box}); }
    std::string read(std::string_view section, std::string_view key) const;
    void write(std::string_view section, std::string_view key, std::string_view value);
    std::string voice_folder(std::string_view sub) const;

    AlarmDialogPorts ports_;
    ClockGlobals& g_;
    std::array<std::string, alarm_dialog_design::row_count> times_, notices_, rules_;
    std::array<std::string, alarm_dialog_design::row_count + 1> sounds_;
    std::string shutdown_, start_time_, start_target_, skin_;
    std::array<bool, alarm_dialog_design::row_count> available_{true};
    std::vector<std::string> alarm_sounds_, ticking_sounds_, skins_;
    std::string message_{alarm_dialog_design::first_message};
    int lists_version_ = 0;
    std::vector<AlarmDialogRequest> requests_;
};

}  // namespace tockly
