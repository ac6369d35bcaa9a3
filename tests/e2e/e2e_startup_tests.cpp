// The clock's start-up, seen from outside: the first-run message, where and
// how the window sits, the tray, the tidied settings file, the skin and a
// folder the settings cannot be saved in.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "tests/e2e/e2e_support.h"

#include <shellapi.h>
#include "clock/model/menu_commands.h"
#include "clock/windows/clock_window.h"

namespace tockly::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kVisible = "[ToMin]\r\ntomin=1\r\n";

TEST(Startup, FirstRunShowsTheMessageAndCreatesNoSettingsFile) {
    ProgramFolder folder("first-run");
    RunningClock clock(folder);
    HWND box = clock.wait_for_window(L"Tockly提示您", L"#32770");
    ASSERT_TRUE(box) << "the first-run message box did not appear";
    bool text_found = false;
    for (const auto& text : child_texts(box))
        text_found |= text == L"您是第一次使用本软件，软件打开后、您可以“右键点击”钟面打开一个菜单";
    EXPECT_TRUE(text_found) << "message text not found among the box's controls";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND form = clock.wait_for_clock();
    ASSERT_TRUE(form);
    EXPECT_TRUE(eventually([&] { return IsWindowVisible(form) != 0; }));
    EXPECT_FALSE(folder.exists("Software_information.ini"));
}

TEST(Startup, NoMessageWhenTheSettingsFileIsThere) {
    ProgramFolder folder("no-first-run");
    folder.write_settings(kVisible);
    RunningClock clock(folder);
    ASSERT_TRUE(clock.wait_for_clock());
    std::this_thread::sleep_for(1s);
    EXPECT_FALSE(clock.wait_for_window(L"Tockly提示您", L"#32770", 500ms));
}

TEST(Startup, TheWindowIsRoundTopMostSeeThroughAndInTheTopRightCorner) {
    ProgramFolder folder("window");
    folder.write_settings(kVisible);
    RunningClock clock(folder);
    HWND form = clock.wait_for_shown_clock();
    ASSERT_TRUE(form) << "no clock window on screen";

    const int screen_width = GetSystemMetrics(SM_CXSCREEN);
    RECT rect{};
    GetWindowRect(form, &rect);
    // left = screen width - 3120 + 50 twips, top = -350 twips, at 15 twips a pixel
    EXPECT_EQ(rect.left, static_cast<LONG>(std::lround((screen_width * 15 - 3120 + 50) / 15.0)));
    EXPECT_EQ(rect.top, -23);
    EXPECT_EQ(rect.right - rect.left, 208);
    EXPECT_EQ(rect.bottom - rect.top, 227);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    HRGN ellipse = CreateEllipticRgn(4, 26, 204, 224);
    EXPECT_EQ(GetWindowRgn(form, region), COMPLEXREGION);
    // Compared point by point: the platform may split the same shape into other rectangles.
    int differ = 0, inside = 0;
    for (int y = 0; y < 227; ++y)
        for (int x = 0; x < 208; ++x) {
            differ += (PtInRegion(region, x, y) != 0) != (PtInRegion(ellipse, x, y) != 0);
            inside += PtInRegion(region, x, y) != 0;
        }
    EXPECT_EQ(differ, 0) << "the region is the ellipse in (4, 26, 204, 224)";
    EXPECT_GT(inside, 30000);
    DeleteObject(region);
    DeleteObject(ellipse);

    const LONG ex = GetWindowLongW(form, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    ASSERT_NO_FATAL_FAILURE(expect_white_see_through(form));
    wchar_t cls[64] = {};
    GetClassNameW(form, cls, 64);
    EXPECT_EQ(window_text(form), L"Tockly");
}

// Wine shows tray icons in a window of its own when no desktop tray exists;
// the clock's icon is there when that window is shown.
bool tray_window_shown() {
    HWND tray = FindWindowW(nullptr, L"Wine System Tray");
    return tray && IsWindowVisible(tray);
}

// Closing from outside ends the program through its own shutdown: the hosted
// lunar control and every COM object are let go before COM is, so the
// process ends by itself and reports success.
TEST(Startup, ClosingTheWindowEndsTheProgramCleanly) {
    ProgramFolder folder("close");
    folder.write_settings(kVisible);
    RunningClock clock(folder);
    HWND form = clock.wait_for_shown_clock();
    ASSERT_TRUE(form) << "no clock window on screen";
    PostMessageW(form, WM_CLOSE, 0, 0);
    ASSERT_TRUE(clock.wait_for_exit(15s)) << "the clock still runs after WM_CLOSE";
    EXPECT_EQ(clock.exit_code(), 0u);
}

TEST(Startup, TominZeroStartsHiddenInTheTray) {
    ProgramFolder folder("tray");
    folder.write_settings("[ToMin]\r\ntomin=0\r\n");
    RunningClock clock(folder);
    HWND form = clock.wait_for_clock();
    ASSERT_TRUE(form);
    std::this_thread::sleep_for(1500ms);
    EXPECT_FALSE(IsWindowVisible(form));
    EXPECT_TRUE(clock.running());
    EXPECT_TRUE(eventually(tray_window_shown, 5s)) << "no tray icon shown";
    clock.stop();
    EXPECT_TRUE(eventually([] { return !tray_window_shown(); }, 10s)) << "the icon outlived the clock";
}

// A restarted Explorer makes a new taskbar without the old icons and tells
// every window so: a clock in the tray puts its icon back, a shown one adds none.
TEST(Startup, ANewTaskbarGetsTheIconOfAClockInTheTray) {
    for (const bool in_tray : {true, false}) {
        SCOPED_TRACE(in_tray ? "in the tray" : "shown");
        ProgramFolder folder(in_tray ? "taskbar-tray" : "taskbar-shown");
        folder.write_settings(in_tray ? "[ToMin]\r\ntomin=0\r\n" : kVisible);
        RunningClock clock(folder);
        HWND form = clock.wait_for_clock();
        ASSERT_TRUE(form);
        ASSERT_EQ(eventually(tray_window_shown, 5s), in_tray);
        if (in_tray) {
            NOTIFYICONDATAW icon{};
            icon.cbSize = sizeof icon;
            icon.hWnd = form;
            icon.uID = 1;
            ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
            ASSERT_TRUE(eventually([] { return !tray_window_shown(); }, 5s)) << "the icon could not be taken away";
        }
        PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        if (in_tray) {
            EXPECT_TRUE(eventually(tray_window_shown, 5s)) << "the icon did not come back";
        } else {
            std::this_thread::sleep_for(1s);
            EXPECT_FALSE(tray_window_shown()) << "a shown clock got an icon";
        }
        EXPECT_EQ(IsWindowVisible(form) != 0, !in_tray);
        clock.stop();
        EXPECT_TRUE(eventually([] { return !tray_window_shown(); }, 10s)) << "the icon outlived the clock";
    }
}

TEST(Startup, AVisibleStartShowsNoTrayIcon) {
    ProgramFolder folder("no-tray");
    folder.write_settings(kVisible);
    RunningClock clock(folder);
    HWND form = clock.wait_for_shown_clock();
    ASSERT_TRUE(form) << "no clock window on screen";
    std::this_thread::sleep_for(1s);
    EXPECT_FALSE(tray_window_shown());
}

TEST(Startup, TheSettingsFileIsTidied) {
    ProgramFolder folder("tidy");
    folder.write_settings("\r\n  [ToMin]  \r\n\r\ntomin=1   \r\n[naoling]\r\n0ts= \r\n   \r\n\tx=1\r\n");
    RunningClock clock(folder);
    ASSERT_TRUE(clock.wait_for_clock());
    EXPECT_EQ(folder.read_bytes("Software_information.ini"),
              "[ToMin]\r\ntomin=1\r\n[naoling]\r\n0ts=\r\n\r\n\tx=1\r\n");
    EXPECT_FALSE(folder.exists("Software_information.ini.tmp"));
}

TEST(Startup, TheSkinIsChosenByPifu0) {
    if (!screen_readable()) GTEST_SKIP() << "the screen can only be read on the test's own Xvfb";
    const std::string gifs = source_folder() + "clock\\resources\\gif\\";
    const struct { const char* name; const char* pifu0; std::string picture; bool add_broken; } cases[] = {
        {"skin-default", "", gifs + "201.gif", false},
        {"skin-3", "默认皮肤3", gifs + "203.gif", false},
        {"skin-4", "默认皮肤4", gifs + "204.gif", false},
        {"skin-file", "lanse.gif", source_folder() + "clock\\resources\\Voice\\pifu\\lanse.gif", false},
        {"skin-missing", "gone.gif", gifs + "201.gif", false},
        {"skin-broken", "broken.gif", gifs + "201.gif", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramFolder folder(c.name);
        folder.write_settings(kVisible + "[PiFu]\r\npifu0=" + c.pifu0 + "\r\n");
        if (c.add_broken) {
            HANDLE f = CreateFileW(wide(folder.file("Voice\\pifu\\broken.gif")).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
            DWORD n = 0;
            WriteFile(f, "GIF89a not really", 17, &n, nullptr);
            CloseHandle(f);
        }
        const Image expected = load_image(c.picture);
        ASSERT_EQ(expected.width, 200);
        RunningClock clock(folder);
        HWND form = clock.wait_for_shown_clock();
        ASSERT_TRUE(form) << "no clock window on screen";
        EXPECT_TRUE(eventually([&] { return face_mismatches(form, expected) == 0; }, 5s))
            << face_mismatches(form, expected) << " sample points differ";
        EXPECT_TRUE(clock.running());
    }
}

TEST(Startup, BadSettingsAndMissingFoldersDoNotStopTheClock) {
    std::string garbage;
    for (int i = 0; i < 3000; ++i) garbage += static_cast<char>((i * 7919 + 13) & 0xFF);
    const struct { const char* name; std::string settings; bool voice; } cases[] = {
        {"bad-binary", garbage, true},
        {"bad-long-lines", "[ToMin]\r\ntomin=1\r\n[naoling]\r\nNaoLingShu0=" + std::string(100000, '9') + "\r\n0sj=" +
                               std::string(100000, 'x') + "\r\n" + std::string(100000, '[') + "\r\n", true},
        {"bad-gbk", "[PiFu]\r\npifu0=\x81\x20\xff\xfe.gif\r\n[naoling]\r\nNaoLingShu0=2\r\n0sj=\x80\x80\r\n", true},
        {"bad-duplicates", "[ToMin]\r\ntomin=1\r\n[ToMin]\r\ntomin=0\r\n[naoling]\r\nNaoLingShu0=3\r\nNaoLingShu0=x\r\n", true},
        {"bad-counts", "[naoling]\r\nNaoLingShu0=99999\r\n[GuanJi]\r\nGjShiJian=99:99\r\n", true},
        {"no-voice", kVisible + "[PiFu]\r\npifu0=lanse.gif\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramFolder folder(c.name, c.voice);
        folder.write_settings_bytes(c.settings);
        RunningClock clock(folder);
        ASSERT_TRUE(clock.wait_for_clock());
        std::this_thread::sleep_for(1500ms);
        EXPECT_TRUE(clock.running());
        EXPECT_FALSE(clock.wait_for_window(L"警 告", L"#32770", 100ms)) << "no error box for a readable file";
    }
}

TEST(Startup, AReadOnlySettingsFileIsLeftWholeAndTheClockRuns) {
    ProgramFolder folder("read-only");
    const std::string messy = "\r\n[ToMin]\r\ntomin=1\r\n";
    folder.write_settings(messy);
    SetFileAttributesW(wide(folder.file("Software_information.ini")).c_str(), FILE_ATTRIBUTE_READONLY);
    RunningClock clock(folder);
    ASSERT_TRUE(clock.wait_for_clock());
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(clock.running());
    EXPECT_EQ(folder.read_bytes("Software_information.ini"), messy);
    SetFileAttributesW(wide(folder.file("Software_information.ini")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Unzipped under Program Files or onto read-only media: the clock runs,
// says once that its settings cannot be saved there and where to move it,
// and a change that cannot be saved shows its error instead of passing for saved.
TEST(Startup, FromAFolderThatCannotBeWrittenTheClockRunsAndSaysSoOnce) {
    ProgramFolder folder("unwritable-folder");
    folder.write_settings(kVisible);
    const UnwritableFolder locked(folder);
    ASSERT_TRUE(locked.refuses_new_files()) << "the test could not make the folder unwritable";
    RunningClock clock(folder);
    HWND box = clock.wait_for_window(L"Tockly提示您", L"#32770");
    ASSERT_TRUE(box) << "nothing said that the settings cannot be saved";
    std::wstring said;
    for (const auto& text : child_texts(box)) said += text;
    EXPECT_NE(said.find(L"Tockly不能在这里保存设置"), std::wstring::npos) << utf8(said);
    EXPECT_NE(said.find(wide(folder.file("Software_information.ini"))), std::wstring::npos) << utf8(said);
    EXPECT_NE(said.find(L"请把整个Tockly文件夹移到可以写入的地方"), std::wstring::npos) << utf8(said);
    HWND form = clock.wait_for_shown_clock();
    ASSERT_TRUE(form) << "the clock is not on screen beside the box";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(eventually([&] { return !IsWindow(box); }, 5s));
    std::this_thread::sleep_for(1s);
    EXPECT_FALSE(clock.wait_for_window(L"Tockly提示您", L"#32770", 500ms)) << "said more than once";

    // Switching the ticking off: the file cannot take it, and the save path says so.
    PostMessageW(form, WM_COMMAND, win::menu_command_base + static_cast<UINT>(MenuId::ticking), 0);
    HWND error = clock.wait_for_window(L"警 告", L"#32770", 5s);
    ASSERT_TRUE(error) << "a failed save showed no error";
    bool named = false;
    for (const auto& text : child_texts(error))
        named |= text == L"写入文件“" + wide(folder.file("Software_information.ini")) + L"”时出错";
    EXPECT_TRUE(named);
    PostMessageW(error, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(clock.running());
    EXPECT_EQ(folder.read_bytes("Software_information.ini"), kVisible);
    EXPECT_FALSE(folder.exists("Software_information.ini.tmp"));
}

}  // namespace
}  // namespace tockly::e2e
