#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "tests/e2e/menu_reader.h"

#include "clock/windows/picture.h"
#include "win32kit/module_file.h"
#include "win32kit/text_codec.h"
#include "clock/windows/file_system.h"

namespace tockly::e2e {

using namespace win32kit;

std::string utf8(const std::wstring& w) { return win32kit::narrow(w); }
std::wstring wide(const std::string& s) { return win32kit::widen(s); }

std::string env_path(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return {};
    std::string path = value;
    for (auto& c : path) if (c == '/') c = '\\';
    if (!path.empty() && path[0] == '\\') path = "Z:" + path;
    if (path.back() != '\\') path += '\\';
    return path;
}

std::string dist_folder() { return env_path("TOCKLY_DIST"); }
std::string source_folder() { return env_path("TOCKLY_ROOT"); }

namespace {

void make_folders(const std::string& path) {
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') CreateDirectoryW(wide(path.substr(0, i)).c_str(), nullptr);
    }
}

void remove_tree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_tree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &data));
        FindClose(h);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

void copy_tree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((from + L"\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            copy_tree(from + L"\\" + name, to + L"\\" + name);
        else
            CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    } while (FindNextFileW(h, &data));
    FindClose(h);
}

}  // namespace

ProgramFolder::ProgramFolder(const std::string& name, bool with_voice) {
    const std::string root = source_folder();
    path_ = (root.empty() ? std::string("C:\\tockly-e2e\\") : root + "build\\e2e-work\\") + name + "\\";
    remove_tree(wide(path_.substr(0, path_.size() - 1)));
    make_folders(path_);
    const std::string dist = dist_folder();
    CopyFileW(wide(dist + "Tockly.exe").c_str(), wide(path_ + "Tockly.exe").c_str(), FALSE);
    CopyFileW(wide(dist + "Lunetra.ocx").c_str(), wide(path_ + "Lunetra.ocx").c_str(), FALSE);
    if (with_voice) copy_tree(wide(dist + "Voice"), wide(path_ + "Voice"));
}

void ProgramFolder::write_settings(const std::string& utf8_text) const {
    write_settings_bytes(win32kit::utf8_to_ansi(utf8_text));
}

void ProgramFolder::write_settings_bytes(const std::string& bytes) const {
    win::Win32FileSystem().write_bytes(file("Software_information.ini"), bytes);
}

std::optional<std::string> ProgramFolder::read_bytes(const std::string& relative) const {
    return win::Win32FileSystem().read_bytes(file(relative));
}

bool ProgramFolder::exists(const std::string& relative) const {
    return GetFileAttributesW(wide(file(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// Starts a command of the machine under Wine (which starts Unix programs
// too). Wine gives no handle to wait on: the caller watches for the effect.
void start_unix_shell(const std::string& command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = L"/bin/sh -c \"" + wide(command) + L"\"";
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return;
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

std::string unix_path_of(const std::string& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto to_unix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix_path = to_unix ? to_unix(wide(path).c_str()) : nullptr;
    if (!unix_path) return {};
    std::string result = unix_path;
    HeapFree(GetProcessHeap(), 0, unix_path);
    return result;
}

std::string unlock_command(const std::string& unix_path) {
    return "chattr -i '" + unix_path + "' 2>/dev/null; chmod u+w '" + unix_path + "'";
}

}  // namespace

UnwritableFolder::UnwritableFolder(const ProgramFolder& folder)
    : path_(folder.path()), unix_path_(unix_path_of(folder.path())) {
    if (unix_path_.empty()) return;
    start_unix_shell("chmod a-w '" + unix_path_ + "'; chattr +i '" + unix_path_ + "' 2>/dev/null; (sleep 300; " +
                     unlock_command(unix_path_) + ") </dev/null >/dev/null 2>&1 &");
    eventually([&] { return refuses_new_files(); }, std::chrono::seconds(5));
}

UnwritableFolder::~UnwritableFolder() {
    if (unix_path_.empty()) return;
    start_unix_shell(unlock_command(unix_path_));
    eventually([&] { return !refuses_new_files(); }, std::chrono::seconds(5));
}

bool UnwritableFolder::refuses_new_files() const {
    const std::wstring probe = wide(path_ + "probe.txt");
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    CloseHandle(file);
    return false;
}

RunningClock::RunningClock(const ProgramFolder& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + wide(folder.file("Tockly.exe")) + L"\"";
    const std::wstring dir = wide(folder.path());
    CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup, &info_);
}

RunningClock::~RunningClock() { stop(); }

void RunningClock::stop() {
    if (!info_.hProcess) return;
    if (running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    info_ = {};
}

bool RunningClock::running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool RunningClock::wait_for_exit(std::chrono::milliseconds timeout) const {
    return !info_.hProcess ||
           WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD RunningClock::exit_code() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::vector<HWND> RunningClock::windows() const {
    struct Search { DWORD pid; std::vector<HWND> found; } search{info_.dwProcessId, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == s->pid) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND RunningClock::wait_for_window(const std::wstring& caption, const wchar_t* class_name,
                                   std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    eventually(
        [&] {
            for (HWND hwnd : windows()) {
                wchar_t cls[256] = {};
                GetClassNameW(hwnd, cls, 256);
                if (window_text(hwnd) == caption && (!class_name || std::wstring(cls) == class_name)) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

HWND RunningClock::wait_for_clock(std::chrono::milliseconds timeout) const {
    return wait_for_window(L"Tockly", L"TocklyForm1", timeout);
}

HWND RunningClock::wait_for_shown_clock() const {
    HWND form = wait_for_clock();
    if (!form || !eventually([&] { return IsWindowVisible(form) != 0; })) return nullptr;
    return form;
}

HWND RunningClock::visible_window_of_class(const wchar_t* class_name) const {
    for (HWND hwnd : windows()) {
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        if (std::wstring(cls) == class_name && IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

void expect_white_see_through(HWND hwnd) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(255, 255, 255));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
}

std::wstring window_text(HWND hwnd) {
    wchar_t buffer[4096] = {};
    // WM_GETTEXT works across processes for the texts of controls.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::vector<std::wstring> child_texts(HWND parent) {
    std::vector<std::wstring> texts;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(window_text(child));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

namespace {

// The address of `local` (in a module of this process) in the same module of
// process `pid`.
void* in_process(DWORD pid, HMODULE local_module, const void* local, const wchar_t* module_name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    void* found = nullptr;
    for (BOOL more = Module32FirstW(snapshot, &entry); more && !found; more = Module32NextW(snapshot, &entry))
        if (lstrcmpiW(entry.szModule, module_name) == 0)
            found = entry.modBaseAddr + (static_cast<const BYTE*>(local) - reinterpret_cast<const BYTE*>(local_module));
    CloseHandle(snapshot);
    return found;
}

// Runs `start(parameter)` on a new thread of `process`; true when it returned 0.
bool run_there(HANDLE process, void* start, void* parameter) {
    if (!start) return false;
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(start),
                                       parameter, 0, nullptr);
    if (!thread) return false;
    DWORD code = 1;
    const bool ended = WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0 && GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return ended && code == 0;
}

// Copies `size` bytes into new memory of `process`.
void* copy_there(HANDLE process, const void* data, std::size_t size) {
    void* there = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (there && !WriteProcessMemory(process, there, data, size, nullptr)) {
        VirtualFreeEx(process, there, 0, MEM_RELEASE);
        return nullptr;
    }
    return there;
}

// Fills `reading` for a menu of process `pid`, by menu_reader.dll (beside
// this program) loaded into that process.
bool read_menu_of(DWORD pid, MenuReading& reading) {
    const std::wstring dll = win32kit::module_folder() + L"menu_reader.dll";
    HMODULE reader = LoadLibraryW(dll.c_str());
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!reader || !kernel) return false;
    const void* read_menu = reinterpret_cast<const void*>(GetProcAddress(reader, "read_menu"));
    const void* load_library = reinterpret_cast<const void*>(GetProcAddress(kernel, "LoadLibraryW"));
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (!process) return false;
    bool ok = false;
    void* path_there = copy_there(process, dll.c_str(), (dll.size() + 1) * sizeof(wchar_t));
    void* reading_there = copy_there(process, &reading, sizeof reading);
    if (path_there && reading_there) {
        // LoadLibraryW answers the module handle, which is no thread exit code of 0.
        run_there(process, in_process(pid, kernel, load_library, L"kernel32.dll"), path_there);
        ok = run_there(process, in_process(pid, reader, read_menu, L"menu_reader.dll"), reading_there) &&
             ReadProcessMemory(process, reading_there, &reading, sizeof reading, nullptr);
    }
    if (path_there) VirtualFreeEx(process, path_there, 0, MEM_RELEASE);
    if (reading_there) VirtualFreeEx(process, reading_there, 0, MEM_RELEASE);
    CloseHandle(process);
    return ok;
}

}  // namespace

std::vector<MenuItem> open_menu_items() {
    // Menus are windows of class "#32768"; EnumWindows lists the top one first.
    struct Found {
        HMENU menu = nullptr;
        DWORD pid = 0;
    } found;
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(hwnd, name, 16);
            if (std::wstring(name) != L"#32768" || !IsWindowVisible(hwnd)) return TRUE;
            DWORD_PTR result = 0;
            SendMessageTimeoutW(hwnd, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
            auto& f = *reinterpret_cast<Found*>(lp);
            f.menu = reinterpret_cast<HMENU>(result);
            GetWindowThreadProcessId(hwnd, &f.pid);
            return result == 0;
        },
        reinterpret_cast<LPARAM>(&found));
    std::vector<MenuItem> items;
    if (!found.menu) return items;
    auto reading = std::make_unique<MenuReading>();
    reading->menu = found.menu;
    if (!read_menu_of(found.pid, *reading)) return items;
    for (int i = 0; i < reading->count; ++i) {
        const auto& item = reading->items[i];
        if (item.type & MFT_SEPARATOR) continue;
        items.push_back({item.caption, (item.state & MFS_GRAYED) != 0, (item.state & MFS_CHECKED) != 0,
                         item.submenu != FALSE, (item.state & MFS_HILITE) != 0});
    }
    return items;
}

int local_second_now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

std::string clock_text(int second_of_day) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", second_of_day / 3600 % 24, second_of_day / 60 % 60,
                  second_of_day % 60);
    return buffer;
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

namespace {

std::uint32_t big_endian(const std::string& bytes, std::size_t at) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

}  // namespace

bool screen_readable() { return !env_path("TOCKLY_SCREEN_FILE").empty(); }

ScreenGrab grab_screen(RECT area) {
    ScreenGrab grab;
    grab.left = area.left;
    grab.top = area.top;
    grab.width = area.right - area.left;
    grab.height = area.bottom - area.top;
    grab.pixels.assign(static_cast<std::size_t>(grab.width) * grab.height, 0);
    // The X server's own framebuffer (an XWD image that Xvfb keeps current):
    // what is really on the screen, not what the program thinks it drew.
    std::string path = env_path("TOCKLY_SCREEN_FILE");
    if (path.empty()) return grab;
    path.pop_back();  // env_path adds a folder backslash
    const auto file = win::Win32FileSystem().read_bytes(path);
    if (!file || file->size() < 100) return grab;
    const std::string& xwd = *file;
    const std::uint32_t header_size = big_endian(xwd, 0), width = big_endian(xwd, 16),
                        height = big_endian(xwd, 20), byte_order = big_endian(xwd, 28),
                        bits_per_pixel = big_endian(xwd, 44), bytes_per_line = big_endian(xwd, 48),
                        ncolours = big_endian(xwd, 76);
    if (bits_per_pixel != 32) return grab;
    const std::size_t data = header_size + static_cast<std::size_t>(ncolours) * 12;
    for (int y = 0; y < grab.height; ++y) {
        for (int x = 0; x < grab.width; ++x) {
            const long sx = grab.left + x, sy = grab.top + y;
            if (sx < 0 || sy < 0 || sx >= static_cast<long>(width) || sy >= static_cast<long>(height)) continue;
            const std::size_t at = data + static_cast<std::size_t>(sy) * bytes_per_line + static_cast<std::size_t>(sx) * 4;
            if (at + 4 > xwd.size()) continue;
            const auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(xwd[at + i])); };
            const std::uint32_t pixel = byte_order == 0 ? (b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24)
                                                        : (b(3) | b(2) << 8 | b(1) << 16 | b(0) << 24);
            grab.pixels[static_cast<std::size_t>(y) * grab.width + x] = pixel & 0xFFFFFF;
        }
    }
    return grab;
}

int face_mismatches(HWND clock, const Image& expected) {
    RECT client{};
    GetClientRect(clock, &client);
    MapWindowPoints(clock, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const ScreenGrab grab = grab_screen(client);
    // At about 75 pixels from the centre: beyond the second hand (70), inside the hour marks.
    const POINT samples[] = {{25, 100}, {100, 25}, {47, 47}, {152, 152}, {47, 153}, {100, 175}, {175, 100}, {152, 47}};
    int wrong = 0;
    for (const POINT p : samples) {
        const unsigned seen = grab.at(client.left + p.x, client.top + p.y), wanted = expected.at(p.x, p.y);
        if (seen != wanted) {
            ++wrong;
            if (getenv("E2E_VERBOSE")) printf("(%ld,%ld) seen %06x wanted %06x\n", p.x, p.y, seen, wanted);
        }
    }
    return wrong;
}

Image load_image(const std::string& path) {
    Image image;
    win::Picture picture = win::load_picture_file(path);
    if (!picture) return image;
    image.width = picture.width;
    image.height = picture.height;
    HDC screen = GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    GetDIBits(screen, picture.bitmap.get(), 0, image.height, image.pixels.data(), &info, DIB_RGB_COLORS);
    for (auto& px : image.pixels) px &= 0xFFFFFF;
    ReleaseDC(nullptr, screen);
    return image;
}

}  // namespace tockly::e2e
