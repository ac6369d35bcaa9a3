// The settings file survives the clock being killed at any moment: during the
// dialog's save and during menu toggles, on a normal and on a 2 MB file, the
// file is afterwards always the complete old or the complete new settings.
// TOCKLY_CRASH_KILLS sets the kills per case (20 by default).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>

#include "tests/e2e/e2e_support.h"
#include "clock/windows/alarm_dialog_window.h"
#include "clock/model/menu_commands.h"
#include "clock/windows/settings_replace.h"
#include "win32kit/text_codec.h"

namespace tockly::e2e {
namespace {

using namespace std::chrono_literals;
namespace ids = win::alarm_dialog_ids;
constexpr const char* kIni = "Software_information.ini";

// Tidy already (the start-up tidy leaves it as it is): quiet, three alarm rows.
std::string old_settings(bool big) {
    std::string text = "[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=0\r\nBanDian0=0\r\n[mts]\r\nmatisheng0=0\r\n"
                       "[naoling]\r\nNaoLingShu0=3\r\n";
    for (int row = 0; row < 10; ++row) {
        const bool used = row < 3;
        text += std::to_string(row) + "sj=" + (used ? "23:5" + std::to_string(row) + ":00" : "") + "\r\n";
        text += std::to_string(row) + "ls=" + (used ? "alarm_bell.mp3" : "") + "\r\n";
        text += std::to_string(row) + "ts=" + (used ? "旧的提示" : "") + "\r\n";
    }
    if (big) {
        text += "[padding]\r\n";
        for (int i = 0; text.size() < (2u << 20); ++i) {
            char line[32];
            std::snprintf(line, sizeof line, "p%06d=", i);
            text += line + std::string(100, 'x') + "\r\n";
        }
    }
    return win32kit::utf8_to_ansi(text);
}

int kills_per_case() {
    const char* n = std::getenv("TOCKLY_CRASH_KILLS");
    return n && std::atoi(n) > 0 ? std::atoi(n) : 20;
}

double now_ms() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Waits until the clock has handled every message sent so far.
void settle(HWND hwnd) { SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 20000, nullptr); }

// Sends (and waits for) or posts (and returns at once) a message.
void deliver(bool wait, HWND hwnd, UINT msg, WPARAM wp) {
    if (wait) SendMessageW(hwnd, msg, wp, 0);
    else PostMessageW(hwnd, msg, wp, 0);
}

// What one kind of change does to a running clock: `prepare` gets it ready
// (nothing written yet), `change` makes the writes, waiting for them or not.
struct Change {
    const char* name;
    std::function<HWND(const RunningClock&)> prepare;  // null on failure
    std::function<void(HWND, bool wait)> change;
};

const Change kSave{
    "dialog save",
    [](const RunningClock& clock) -> HWND {
        HWND face = clock.wait_for_clock();
        if (!face) return nullptr;
        settle(face);
        PostMessageW(face, WM_COMMAND, 1000 + static_cast<WPARAM>(MenuId::alarm_settings), 0);
        HWND dialog = clock.wait_for_window(wide(std::string(alarm_dialog_design::caption)), L"TocklyForm2", 10s);
        if (!dialog) return nullptr;
        SendMessageW(GetDlgItem(dialog, ids::notice_box + 1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"新的提示"));
        settle(dialog);
        return dialog;
    },
    [](HWND dialog, bool wait) { deliver(wait, GetDlgItem(dialog, ids::save_button), BM_CLICK, 0); },
};

// Nine toggles of the hourly chime: the file passes through "on" and "off".
const Change kToggles{
    "menu toggles",
    [](const RunningClock& clock) -> HWND {
        HWND face = clock.wait_for_clock();
        if (face) settle(face);
        return face;
    },
    [](HWND face, bool wait) {
        for (int i = 0; i < 9; ++i) deliver(wait, face, WM_COMMAND, 1000 + static_cast<WPARAM>(MenuId::hour_chime));
    },
};

struct Outcome {
    int old_files = 0, new_files = 0;
};

// One run without a kill gives the complete files a kill may leave and how
// long the change takes; then every run is killed at a random moment of it.
void kill_during(const Change& kind, bool big) {
    const std::string label = std::string(kind.name) + (big ? ", 2 MB file" : ", normal file");
    ProgramFolder folder(std::string("crash-") + (big ? "big-" : "") + (kind.name[0] == 'd' ? "save" : "toggles"));
    const std::string start = old_settings(big);
    const std::string tmp = std::string(kIni) + ".tmp";

    std::vector<std::string> complete;  // every file the change may leave behind
    double change_ms = 0;
    {
        folder.write_settings_bytes(start);
        RunningClock clock(folder);
        HWND target = kind.prepare(clock);
        ASSERT_TRUE(target) << label;
        complete.push_back(folder.read_bytes(kIni).value_or(""));
        const double t0 = now_ms();
        kind.change(target, true);
        change_ms = now_ms() - t0;
        complete.push_back(folder.read_bytes(kIni).value_or(""));
        if (kind.name[0] == 'm') {
            // The toggles pass through both states; the other one is one more toggle away.
            deliver(true, target, WM_COMMAND, 1000 + static_cast<WPARAM>(MenuId::hour_chime));
            complete.push_back(folder.read_bytes(kIni).value_or(""));
        }
        ASSERT_TRUE(complete[0] != complete[1]) << label << ": the change must change the file";
    }

    std::mt19937 random(static_cast<unsigned>(GetTickCount()));
    std::uniform_real_distribution<double> moment(0, change_ms * 1.3);
    Outcome outcome;
    const int kills = kills_per_case();
    for (int i = 0; i < kills; ++i) {
        folder.write_settings_bytes(start);
        RunningClock clock(folder);
        HWND target = kind.prepare(clock);
        ASSERT_TRUE(target) << label << ", run " << i;
        // The copy a killed run left behind is gone once the clock has started.
        EXPECT_FALSE(folder.exists(tmp)) << label << ", run " << i;
        const double delay = moment(random);
        const double t0 = now_ms();
        kind.change(target, false);
        if (delay > 3) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(delay - 2));
        while (now_ms() - t0 < delay) {
        }
        clock.stop();
        const std::string after = folder.read_bytes(kIni).value_or("<no file>");
        const auto found = std::find(complete.begin(), complete.end(), after);
        EXPECT_TRUE(found != complete.end()) << label << ", run " << i << ": killed after " << delay << " ms, file of "
                                         << after.size() << " bytes is neither the old nor the new settings";
        if (found == complete.begin()) ++outcome.old_files;
        else if (found != complete.end()) ++outcome.new_files;
    }
    std::printf("%s: change takes %.1f ms; %d kills, %d left the old file, %d a new one\n", label.c_str(), change_ms,
                kills, outcome.old_files, outcome.new_files);
}

TEST(CrashSafety, KilledDuringTheDialogSaveOnANormalFile) { kill_during(kSave, false); }
TEST(CrashSafety, KilledDuringTheDialogSaveOnA2MbFile) { kill_during(kSave, true); }
TEST(CrashSafety, KilledDuringMenuTogglesOnANormalFile) { kill_during(kToggles, false); }
TEST(CrashSafety, KilledDuringMenuTogglesOnA2MbFile) { kill_during(kToggles, true); }

}  // namespace
}  // namespace tockly::e2e
