// Starting the real Tockly.exe in a program folder of its own and looking at
// it from outside, as a person (or another program) would.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tockly::e2e {

// A Windows path from an environment variable holding a Unix path (Wine maps / to Z:\).
std::string env_path(const char* name);

// build/dist/Tockly, from TOCKLY_DIST.
std::string dist_folder();
// The source tree, from TOCKLY_ROOT.
std::string source_folder();

// A fresh program folder: Tockly.exe, Voice and (optionally) a settings file.
class ProgramFolder {
public:
    // `name` makes the folder unique (build/e2e-work/<name>).
    explicit ProgramFolder(const std::string& name, bool with_voice = true);
    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + relative; }
    // Writes the settings file from UTF-8 text, stored in the ANSI code page.
    void write_settings(const std::string& utf8_text) const;
    void write_settings_bytes(const std::string& bytes) const;
    std::optional<std::string> read_bytes(const std::string& relative) const;
    bool exists(const std::string& relative) const;

private:
    std::string path_;
};

// The program folder made one its user cannot write in, as a folder under
// Program Files or on read-only media is, until this goes out of scope: the
// write bits go, and so that root is stopped too, the folder is made
// immutable. A run killed half-way gets it back writable a few minutes later.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const ProgramFolder& folder);
    ~UnwritableFolder();
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    // Whether the folder really takes no new file now.
    bool refuses_new_files() const;

private:
    std::string path_, unix_path_;
};

// The running clock; ended when this goes out of scope.
class RunningClock {
public:
    explicit RunningClock(const ProgramFolder& folder);
    ~RunningClock();
    RunningClock(const RunningClock&) = delete;
    RunningClock& operator=(const RunningClock&) = delete;

    DWORD pid() const { return info_.dwProcessId; }
    bool running() const;
    // Waits for the clock window (class TocklyForm1) of this process.
    HWND wait_for_clock(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // The clock window once it is on screen; null when it never appears or stays hidden.
    HWND wait_for_shown_clock() const;
    // A visible top-level window of this process with this class, or null.
    HWND visible_window_of_class(const wchar_t* class_name) const;
    // Waits for a top-level window of this process with this caption (and class, if given).
    HWND wait_for_window(const std::wstring& caption, const wchar_t* class_name = nullptr,
                         std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    std::vector<HWND> windows() const;
    bool wait_for_exit(std::chrono::milliseconds timeout) const;
    // The exit code once the process has ended (STILL_ACTIVE before).
    DWORD exit_code() const;
    void stop();

private:
    PROCESS_INFORMATION info_{};
};

// The clock's windows are layered with white as the see-through colour.
// Use under ASSERT_NO_FATAL_FAILURE: it stops at windows that are not layered.
void expect_white_see_through(HWND hwnd);

// The texts of a window's child controls, in order.
std::vector<std::wstring> child_texts(HWND parent);
std::wstring window_text(HWND hwnd);

// One item of the popup menu that is open on the screen, as the user sees it.
struct MenuItem {
    std::wstring caption;
    bool greyed = false, checked = false, submenu = false;
    bool highlighted = false;  // the item the keyboard is on
};
// The items of the open popup menu (the deepest, when a sub-menu is open),
// separators left out; empty when no menu is open or it cannot be read. The
// menu is read inside the process that owns it, by menu_reader.dll beside
// this program (Wine lets no other process read a menu).
std::vector<MenuItem> open_menu_items();

// The local time of day in seconds, and as the settings file writes it ("7:05:09").
int local_second_now();
std::string clock_text(int second_of_day);

// Polls a condition until it holds or the time is up.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The screen's pixels in a rectangle, read from the X server's framebuffer
// file (TOCKLY_SCREEN_FILE, set when ./tockly starts its own Xvfb), 0x00RRGGBB.
bool screen_readable();
struct ScreenGrab {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<unsigned> pixels;
    unsigned at(int x, int y) const { return pixels[static_cast<std::size_t>(y - top) * width + (x - left)]; }
};
ScreenGrab grab_screen(RECT area);

// Decodes a GIF file and returns its pixels (0x00RRGGBB), row by row.
struct Image {
    int width = 0, height = 0;
    std::vector<unsigned> pixels;
    unsigned at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
Image load_image(const std::string& path);

// How many of eight points of the face on screen differ from the skin
// picture `expected`: points away from the labels, the hour marks and the hub.
int face_mismatches(HWND clock, const Image& expected);

std::string utf8(const std::wstring& wide);
std::wstring wide(const std::string& utf8_text);

}  // namespace tockly::e2e
