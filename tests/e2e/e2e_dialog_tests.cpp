// The settings dialog seen from outside: opened from the clock, its
// controls where the layout puts them, an alarm typed into the real edit
// control, saved and rung by the running clock, the settings file byte for
// byte, the two self-saving time boxes, the sound names with spaces, the
// skin, the program picker and the captions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <thread>

#include "tests/e2e/e2e_support.h"
#include "clock/windows/alarm_dialog_window.h"
#include "clock/model/menu_commands.h"
#include "win32kit/text_codec.h"
#include "clock/support/time_text.h"
#include "clock/windows/file_system.h"
#include "clock/windows/regional_time_format.h"

namespace tockly::e2e {

using namespace win32kit;
namespace {

using namespace std::chrono_literals;
namespace ids = win::alarm_dialog_ids;

const std::string kQuiet = "[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=0\r\nBanDian0=0\r\n[mts]\r\nmatisheng0=0\r\n";
const std::wstring kCaption = wide(std::string(alarm_dialog_design::caption));

struct OpenDialog {
    HWND clock = nullptr;
    HWND dialog = nullptr;
    HWND item(int id) const { return GetDlgItem(dialog, id); }
};

// The clock window's command number of the menu item NaoZhong ("闹钟设置").
constexpr WPARAM kNaoZhongCommand = 1000 + static_cast<WPARAM>(MenuId::alarm_settings);

// Opens the dialog of a running clock: the menu item NaoZhong, or F2 on the
// face where the menu does not offer it yet (either only brings an open
// dialog to the front).
OpenDialog open_dialog(const RunningClock& clock) {
    OpenDialog d;
    d.clock = clock.wait_for_clock();
    if (!d.clock) return d;
    eventually([&] { return IsWindowVisible(d.clock) != 0; });
    PostMessageW(d.clock, WM_COMMAND, kNaoZhongCommand, 0);
    PostMessageW(d.clock, WM_KEYDOWN, VK_F2, 0);
    d.dialog = clock.wait_for_window(kCaption, L"TocklyForm2", 10s);
    return d;
}

std::string text_of(HWND hwnd) { return utf8(window_text(hwnd)); }

// Types a text into a control key by key, as the keyboard would.
void type(HWND control, const std::wstring& keys) {
    for (const wchar_t c : keys) SendMessageW(control, WM_CHAR, c, 1);
}

// Picks a name from a combo box's list, as a click on the list does. The
// dialog handles the pick once the box's own notification is over, so the
// caller waits for what the pick does.
void pick(const OpenDialog& d, int id, const std::wstring& name) {
    HWND combo = d.item(id);
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_NE(index, CB_ERR) << utf8(name) << " is not in the list";
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(d.dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::vector<std::string> list_of(HWND combo) {
    std::vector<std::string> names;
    const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t buffer[512] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        names.push_back(utf8(buffer));
    }
    return names;
}

HWND focus_of(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Clicks into a control: it takes the focus itself. Returns once the click is
// over (the control has the focus and has let go of the mouse), so keys typed
// next cannot meet a button-up still waiting in the queue.
void click(HWND control) {
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    eventually([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &info);
        return info.hwndFocus == control && info.hwndCapture == nullptr;
    }, std::chrono::seconds(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

int local_second_now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

RECT rect_in_client(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND visible_notice(const RunningClock& clock) { return clock.visible_window_of_class(L"TocklyTiShiChuang"); }

TEST(Dialog, OpensOnceWithEveryControlWhereTheLayoutPutsIt) {
    ProgramFolder folder("dialog-layout");
    folder.write_settings(kQuiet);
    RunningClock clock(folder);
    const OpenDialog d = open_dialog(clock);
    ASSERT_TRUE(d.dialog) << "the dialog did not open";

    HDC screen = GetDC(nullptr);
    const double tpp_x = 1440.0 / GetDeviceCaps(screen, LOGPIXELSX), tpp_y = 1440.0 / GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto px = [](int twips, double tpp) { return static_cast<LONG>(std::lround(twips / tpp)); };

    RECT client{};
    GetClientRect(d.dialog, &client);
    EXPECT_EQ(client.right, px(11955, tpp_x)) << "the design's 9045 twips and the repeat column";
    EXPECT_EQ(client.bottom, px(6810, tpp_y));
    RECT frame{};
    GetWindowRect(d.dialog, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred";
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1) << "centred";
    const LONG style = GetWindowLongW(d.dialog, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) << "fixed size, no min or max box";

    const struct { const char* name; int id; int left, top, width, height; } places[] = {
        {"Text1(0)", ids::time_box + 0, 420, 450, 1365, 405},
        {"Text1(9)", ids::time_box + 9, 420, 450 + 480 * 9, 1365, 405},
        {"Combo1(0)", ids::sound_box + 0, 1800, 450, 2655, 405},
        {"Combo1(5)", ids::sound_box + 5, 1800, 450 + 480 * 5, 2655, 405},
        {"Text2(3)", ids::notice_box + 3, 4470, 450 + 480 * 3, 4425, 405},
        {"Combo1(10)", ids::sound_box + 10, 1770, 5310, 2655, 405},
        {"Combo2", ids::skin_box, 6240, 5340, 2655, 405},
        {"Text3", ids::shutdown_box, 1770, 5850, 2655, 405},
        {"Text4", ids::start_time_box, 6660, 5820, 2235, 270},
        {"Text5", ids::start_target_box, 6660, 6090, 2235, 270},
        {"Label3", ids::message_line, -30, 6420, 12015, 375},
        {"Repeat(3)", ids::rule_box + 3, 8970, 450 + 480 * 3, 2910, 405},
        {"Command1", ids::save_button, 7890, 60, 1005, 315},
    };
    for (const auto& p : places) {
        HWND c = d.item(p.id);
        ASSERT_TRUE(c) << p.name;
        const RECT r = rect_in_client(d.dialog, c);
        EXPECT_EQ(r.left, px(p.left, tpp_x)) << p.name;
        EXPECT_EQ(r.top, px(p.top, tpp_y)) << p.name;
        EXPECT_EQ(r.right - r.left, px(p.width, tpp_x)) << p.name;
        // A combo box is as high as its font makes it; the others exactly.
        const bool combo = p.id == ids::skin_box || (p.id >= ids::sound_box && p.id <= ids::sound_box + 10) ||
                           (p.id >= ids::rule_box && p.id < ids::rule_box + 10);
        EXPECT_NEAR(r.bottom - r.top, px(p.height, tpp_y), combo ? 2 : 0) << p.name;
    }
    const struct { int id; const char* text; } texts[] = {
        {ids::captions + 0, "闹铃时间(时:分)"}, {ids::captions + 1, "铃声选择"}, {ids::captions + 2, "屏幕提示内容"},
        {ids::captions + 3, "更换皮肤"}, {ids::captions + 4, "发条声音"}, {ids::captions + 5, "定时关机"},
        {ids::captions + 6, "定时启动"}, {ids::start_captions + 0, "时间"}, {ids::start_captions + 1, "内容"},
        {ids::rule_caption, "重复"}, {ids::rule_box + 0, "每天"}, {ids::rule_box + 9, "每天"},
        {ids::row_number + 0, "1"}, {ids::row_number + 9, "2"}, {ids::row_number + 1, "10"},
        {ids::message_line, "不需要的项目请删除保留为空即可"}, {ids::save_button, "保 存"},
    };
    for (const auto& t : texts) EXPECT_EQ(text_of(d.item(t.id)), t.text) << "control " << t.id;
    // row_number's indices run 0, 9, 8 .. 1 from the top.
    EXPECT_LT(rect_in_client(d.dialog, d.item(ids::row_number + 9)).top, rect_in_client(d.dialog, d.item(ids::row_number + 8)).top);

    EXPECT_TRUE(IsWindowEnabled(d.item(ids::time_box + 0)));
    for (int row = 1; row < 10; ++row) {
        EXPECT_FALSE(IsWindowEnabled(d.item(ids::time_box + row))) << "row " << row;
        EXPECT_FALSE(IsWindowEnabled(d.item(ids::sound_box + row))) << "row " << row;
        EXPECT_FALSE(IsWindowEnabled(d.item(ids::notice_box + row))) << "row " << row;
    }
    EXPECT_EQ(list_of(d.item(ids::sound_box + 4)), (std::vector<std::string>{"alarm_bell.mp3", "alarm_chirp.mp3"}));
    EXPECT_EQ(list_of(d.item(ids::sound_box + 10)), (std::vector<std::string>{"fatiao3.wav", "tick_wood.wav"}));
    EXPECT_EQ(list_of(d.item(ids::skin_box)),
              (std::vector<std::string>{"默认皮肤1", "默认皮肤2", "默认皮肤3", "默认皮肤4", "lanse.gif"}));

    // Open again: the same window to the front, with what was typed in it.
    type(d.item(ids::notice_box + 0), L"还在");
    PostMessageW(d.clock, WM_COMMAND, kNaoZhongCommand, 0);
    PostMessageW(d.clock, WM_KEYDOWN, VK_F2, 0);
    std::this_thread::sleep_for(500ms);
    int dialogs = 0;
    for (HWND w : clock.windows()) dialogs += window_text(w) == kCaption;
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(text_of(d.item(ids::notice_box + 0)), "还在");

    // Closed, nothing is saved; opened again, it loads afresh.
    PostMessageW(d.dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(eventually([&] { return !IsWindow(d.dialog); }, 3s));
    const OpenDialog again = open_dialog(clock);
    ASSERT_TRUE(again.dialog);
    EXPECT_EQ(text_of(again.item(ids::notice_box + 0)), "");
    EXPECT_EQ(folder.read_bytes("Software_information.ini"), kQuiet);
}

TEST(Dialog, AnAlarmTypedIntoRowZeroIsSavedAndRingsInTheRunningClock) {
    ProgramFolder folder("dialog-alarm");
    folder.write_settings(kQuiet);
    RunningClock clock(folder);
    const OpenDialog d = open_dialog(clock);
    ASSERT_TRUE(d.dialog);
    std::this_thread::sleep_for(1500ms);  // past the start-up notice

    const TimeFormat format = win::regional_time_format();
    const int alarm = (local_second_now() + 5) % 86400;  // room for a busy machine
    char typed[16];
    // Points as separators, as the tooltip allows.
    std::snprintf(typed, sizeof typed, "%d.%02d.%02d", alarm / 3600, alarm / 60 % 60, alarm % 60);
    const std::string shown = format_time_of_day(alarm, format);
    const std::string notice = "e2e对话框闹钟";

    HWND time_box = d.item(ids::time_box + 0);
    click(time_box);
    ASSERT_TRUE(eventually([&] { return focus_of(d.dialog) == time_box; }, 2s));
    type(time_box, wide(typed));
    EXPECT_TRUE(IsWindowEnabled(d.item(ids::time_box + 1))) << "a valid time opens row 1";
    // Enter walks on to the sound box; leaving the time box rewrites it.
    PostMessageW(time_box, WM_CHAR, VK_RETURN, 1);
    ASSERT_TRUE(eventually([&] { return text_of(time_box) == shown; }, 2s)) << text_of(time_box);
    EXPECT_EQ(text_of(d.item(ids::notice_box + 0)), shown) << "the notice defaults to the time";
    pick(d, ids::sound_box + 0, L"alarm_bell.mp3");
    SendMessageW(d.item(ids::notice_box + 0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide(notice).c_str()));
    SendMessageW(d.item(ids::save_button), BM_CLICK, 0, 0);
    ASSERT_TRUE(eventually([&] { return text_of(d.item(ids::message_line)) == "数据修改完毕！"; }, 2s))
        << text_of(d.item(ids::message_line));
    ASSERT_GT((alarm - local_second_now() + 86400) % 86400, 0) << "saved too late for the alarm";

    // The settings file, byte for byte: the blank keys hold one space on
    // Windows, nothing under Wine.
    for (const std::string blank : {"", " "}) {
        std::string expected = kQuiet + "[naoling]\r\nNaoLingShu0=1\r\n0sj=" + shown + "\r\n0ls=alarm_bell.mp3\r\n0ts=" +
                               notice + "\r\n0cf=daily\r\n";
        for (int row = 1; row < 10; ++row)
            for (const char* k : {"sj", "ls", "ts", "cf"}) expected += std::to_string(row) + k + "=" + blank + "\r\n";
        if (folder.read_bytes("Software_information.ini") == win32kit::utf8_to_ansi(expected)) break;
        if (blank == " ") ADD_FAILURE() << "settings file:\n" << win32kit::ansi_to_utf8(*folder.read_bytes("Software_information.ini"))
                                        << "\nexpected:\n" << expected;
    }

    // The running clock rings it on its next ticks: the band with the notice.
    HWND band = nullptr;
    ASSERT_TRUE(eventually(
        [&] {
            band = visible_notice(clock);
            if (!band) return false;
            const auto texts = child_texts(band);
            return std::find(texts.begin(), texts.end(), wide(notice)) != texts.end();
        },
        8s))
        << "no notice band with the alarm's text";
    EXPECT_LE((local_second_now() - alarm + 86400) % 86400, 1) << "the band comes on the alarm's second";
}

TEST(Dialog, TheShutdownTimeIsCheckedAndSavedWhenLeavingItsBox) {
    ProgramFolder folder("dialog-shutdown");
    folder.write_settings(kQuiet + "[GuanJi]\r\nGjShiJian=22:00:00\r\n");
    RunningClock clock(folder);
    const OpenDialog d = open_dialog(clock);
    ASSERT_TRUE(d.dialog);
    HWND box = d.item(ids::shutdown_box);
    const TimeFormat format = win::regional_time_format();
    EXPECT_EQ(text_of(box), format_time_of_day(22 * 3600, format)) << "the clock's own shutdown time";
    // The stored shutdown time, spaces trimmed.
    const auto stored = [&] {
        const std::string file = win32kit::ansi_to_utf8(folder.read_bytes("Software_information.ini").value_or(""));
        const auto at = file.find("GjShiJian=");
        if (at == std::string::npos) return std::string("<missing>");
        const auto start = at + 10, end = file.find("\r\n", start);
        std::string value = file.substr(start, end - start);
        while (!value.empty() && value.back() == ' ') value.pop_back();
        return value;
    };
    const std::string five_past = format_time_of_day(23 * 3600 + 5 * 60, format);
    const struct { const char* name; std::wstring typed; std::string box_after, saved; bool held; } cases[] = {
        {"hour 25", L"25:00", "25:00", "22:00:00", true},
        {"minute 60", L"7:60", "7:60", "22:00:00", true},
        {"full-width colon", L"23：5", five_past, five_past, false},
        {"letters", L"soon", "soon", five_past, true},
        {"ten thousand characters", std::wstring(10000, L'9'), std::string(10000, '9'), five_past, true},
        {"emptied", L"", "", "", false},
    };
    for (const auto& c : cases) {
        click(box);
        ASSERT_TRUE(eventually([&] { return focus_of(d.dialog) == box; }, 2s)) << c.name;
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed.c_str()));
        PostMessageW(box, WM_KEYDOWN, VK_TAB, 0);  // on to the start-time box
        std::this_thread::sleep_for(700ms);
        EXPECT_EQ(static_cast<std::size_t>(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0)), wide(c.box_after).size()) << c.name;
        if (c.box_after.size() < 1000) EXPECT_EQ(text_of(box), c.box_after) << c.name;
        EXPECT_EQ(stored(), c.saved) << c.name;
        EXPECT_EQ(focus_of(d.dialog) == box, c.held) << c.name << ": the focus is held only for a bad time";
        if (c.held) EXPECT_EQ(text_of(d.item(ids::message_line)), "您输入的时间有问题！") << c.name;
        // Emptied, so the next case starts from a box that can be left.
        if (c.held) SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    }
    EXPECT_TRUE(clock.running());
}

TEST(Dialog, SoundNamesWithSpacesAreRenamedUnlessTheSystemRefuses) {
    ProgramFolder folder("dialog-rename");
    folder.write_settings(kQuiet + "[naoling]\r\nNaoLingShu0=1\r\n0sj=7:00:00\r\n0ls=alarm_bell.mp3\r\n0ts=起床\r\n");
    const std::string rings = folder.file("Voice\\NaoLing\\");
    for (const char* name : {"my song.mp3", "wake up.mp3", "wakeup.mp3", "old tune.mp3"})
        CopyFileW(wide(rings + "alarm_chirp.mp3").c_str(), wide(rings + name).c_str(), FALSE);
    SetFileAttributesW(wide(rings + "old tune.mp3").c_str(), FILE_ATTRIBUTE_READONLY);
    RunningClock clock(folder);
    const OpenDialog d = open_dialog(clock);
    ASSERT_TRUE(d.dialog);
    SendMessageW(d.item(ids::notice_box + 0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"未保存"));

    pick(d, ids::sound_box + 1, L"my song.mp3");
    EXPECT_TRUE(eventually([&] { return folder.exists("Voice\\NaoLing\\mysong.mp3"); }, 3s));
    EXPECT_FALSE(folder.exists("Voice\\NaoLing\\my song.mp3"));
    EXPECT_TRUE(folder.exists("Voice\\NaoLing\\wake up.mp3")) << "its space-free twin already exists";
    EXPECT_TRUE(folder.exists("Voice\\NaoLing\\wakeup.mp3"));
    EXPECT_TRUE(folder.exists("Voice\\NaoLing\\oldtune.mp3")) << "a read-only file can still be renamed";
    EXPECT_EQ(list_of(d.item(ids::sound_box + 1)),
              (std::vector<std::string>{"alarm_bell.mp3", "alarm_chirp.mp3", "mysong.mp3", "oldtune.mp3", "wake up.mp3",
                                        "wakeup.mp3"}));
    EXPECT_TRUE(eventually([&] { return text_of(d.item(ids::notice_box + 0)) == "起床"; }, 3s))
        << "the rows are reloaded from the file";
    EXPECT_EQ(text_of(d.item(ids::sound_box + 0)), "alarm_bell.mp3");

    pick(d, ids::sound_box + 1, L"wake up.mp3");
    EXPECT_TRUE(eventually([&] { return text_of(d.item(ids::message_line)) == "文件名“wake up.mp3”含空格，无法改名"; }, 3s))
        << text_of(d.item(ids::message_line));
    EXPECT_TRUE(folder.exists("Voice\\NaoLing\\wake up.mp3"));
    EXPECT_TRUE(clock.running());
}

TEST(Dialog, MissingVoiceFoldersLeaveTheListsEmpty) {
    ProgramFolder folder("dialog-no-voice", false);
    folder.write_settings(kQuiet);
    RunningClock clock(folder);
    const OpenDialog d = open_dialog(clock);
    ASSERT_TRUE(d.dialog) << "the dialog opens without the Voice folder";
    EXPECT_TRUE(list_of(d.item(ids::sound_box + 0)).empty());
    EXPECT_TRUE(list_of(d.item(ids::sound_box + 10)).empty());
    EXPECT_EQ(list_of(d.item(ids::skin_box)).size(), 4u);
}

TEST(Dialog, TheTickingSoundAndTheSkinAreSavedWhenPicked) {
    ProgramFolder folder("dialog-pickers");
    folder.write_settings(kQuiet);
    const std::string skins = folder.file("Voice\\pifu\\");
    win::Win32FileSystem().write_bytes(skins + "broken.gif", "GIF89a but nothing more");
    RunningClock clock(folder);
    const OpenDialog d = open_dialog(clock);
    ASSERT_TRUE(d.dialog);
    const auto stored = [&] { return win32kit::ansi_to_utf8(folder.read_bytes("Software_information.ini").value_or("")); };

    const auto saved = [&](const std::string& line) {
        return eventually([&] { return stored().find(line) != std::string::npos; }, 3s);
    };
    pick(d, ids::sound_box + 10, L"tick_wood.wav");
    EXPECT_TRUE(saved("fatiaosheng0=tick_wood.wav\r\n")) << stored();

    // The face changes at once; a file that is no picture keeps it.
    const bool can_see = screen_readable();
    RECT face{};
    GetWindowRect(d.clock, &face);
    const auto changed_pixels = [&](const ScreenGrab& a, const ScreenGrab& b) {
        std::size_t n = 0;
        for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
        return n;
    };
    ScreenGrab before;
    if (can_see) before = grab_screen(face);
    pick(d, ids::skin_box, L"默认皮肤3");
    EXPECT_TRUE(saved("pifu0=默认皮肤3\r\n")) << stored();
    ScreenGrab after;
    if (can_see) {
        std::this_thread::sleep_for(300ms);
        after = grab_screen(face);
        EXPECT_GT(changed_pixels(before, after), before.pixels.size() / 5) << "the face is another picture";
    }
    pick(d, ids::skin_box, L"broken.gif");
    EXPECT_TRUE(saved("pifu0=broken.gif\r\n")) << stored();
    if (can_see) {
        std::this_thread::sleep_for(300ms);
        const ScreenGrab kept = grab_screen(face);
        EXPECT_LT(changed_pixels(after, kept), after.pixels.size() / 10) << "only the hands move";
    }
    EXPECT_TRUE(clock.running());
}

TEST(Dialog, CancellingTheProgramPickerClearsTheProgram) {
    ProgramFolder folder("dialog-program");
    folder.write_settings(kQuiet + "[QiDong]\r\nQDShiJian=6:00:00\r\nQDneirong=C:\\old.exe\r\n");
    RunningClock clock(folder);
    const OpenDialog d = open_dialog(clock);
    ASSERT_TRUE(d.dialog);
    EXPECT_EQ(text_of(d.item(ids::start_target_box)), "C:\\old.exe");
    click(d.item(ids::start_target_box));
    HWND picker = clock.wait_for_window(L"请选择一个定时启动的文件", L"#32770", 10s);
    ASSERT_TRUE(picker) << "the file-open dialog with its title";
    EXPECT_EQ(text_of(d.item(ids::start_target_box)), "C:\\old.exe") << "the program stays while the picker is open";
    PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(eventually([&] { return !IsWindow(picker); }, 3s));
    EXPECT_TRUE(eventually([&] { return text_of(d.item(ids::start_target_box)).empty(); }, 3s));
    const std::string file = win32kit::ansi_to_utf8(folder.read_bytes("Software_information.ini").value_or(""));
    EXPECT_EQ(file.find("C:\\old.exe"), std::string::npos) << file;
    EXPECT_NE(file.find("QDneirong="), std::string::npos) << file;
}

TEST(Dialog, ACaptionShowsTheNoticeWindow) {
    ProgramFolder folder("dialog-caption");
    folder.write_settings(kQuiet);
    RunningClock clock(folder);
    const OpenDialog d = open_dialog(clock);
    ASSERT_TRUE(d.dialog);
    ASSERT_TRUE(eventually([&] { return visible_notice(clock) == nullptr; }, 5s)) << "the start-up notice has gone";
    const std::string message = text_of(d.item(ids::message_line));
    PostMessageW(d.dialog, WM_COMMAND, MAKEWPARAM(ids::captions + 5, STN_CLICKED),
                 reinterpret_cast<LPARAM>(d.item(ids::captions + 5)));
    HWND band = nullptr;
    EXPECT_TRUE(eventually([&] { return (band = visible_notice(clock)) != nullptr; }, 3s));
    if (band) {
        const auto texts = child_texts(band);
        EXPECT_NE(std::find(texts.begin(), texts.end(), L"Tockly"), texts.end()) << "the design caption";
    }
    EXPECT_EQ(text_of(d.item(ids::message_line)), message) << "the dialog itself does not change";
}

}  // namespace
}  // namespace tockly::e2e
