#include "clock/windows/file_system.h"

#include <vector>

#include "clock/windows/dpi_scale.h"
#include "win32kit/handles.h"
#include "win32kit/module_file.h"
#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

std::optional<std::string> Win32FileSystem::find_name(std::string_view path) {
    WIN32_FIND_DATAW data{};
    const HANDLE h = FindFirstFileW(widen(path).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(h);
    return narrow(data.cFileName);
}

std::optional<std::string> Win32FileSystem::read_bytes(std::string_view path) {
    unique_handle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (64LL << 20)) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                           got != bytes.size()))
        return std::nullopt;
    return bytes;
}

bool Win32FileSystem::write_bytes(std::string_view path, std::string_view bytes) {
    unique_handle file(CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return false;
    }
    DWORD written = 0;
    return bytes.empty() ||
           (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

bool Win32FileSystem::replace_atomically(std::string_view path, std::string_view bytes) {
    // A file the user made read-only stays as it is, as on Windows itself.
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    const std::string temp = std::string(path) + ".tmp";
    if (!write_bytes(temp, bytes)) {
        DeleteFileW(widen(temp).c_str());
        return false;
    }
    if (!MoveFileExW(widen(temp).c_str(), widen(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(widen(temp).c_str());
        return false;
    }
    return true;
}

std::string Win32FileSystem::temp_folder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    std::string folder = n ? narrow(std::wstring_view(buffer, n)) : std::string(".\\");
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

ScreenMetrics screen_metrics() {
    ScreenMetrics m;
    m.dpi = system_dpi();
    m.width_twips = m.scale().to_twips(GetSystemMetrics(SM_CXSCREEN));
    m.height_twips = m.scale().to_twips(GetSystemMetrics(SM_CYSCREEN));
    RECT work{};
    m.work_area_bottom_px = SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)
                                ? work.bottom
                                : GetSystemMetrics(SM_CYSCREEN);
    return m;
}

TimeFormat regional_time_format() {
    TimeFormat f;
    wchar_t buffer[128] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, buffer, 128) > 1) f.picture = narrow(buffer);
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S1159, buffer, 128) > 1) f.am = narrow(buffer);
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S2359, buffer, 128) > 1) f.pm = narrow(buffer);
    return f;
}

std::string program_folder() {
    std::wstring path = module_path();
    const auto slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash);
    if (path.size() == 2 && path[1] == L':') path += L'\\';
    return narrow(path);
}

}  // namespace tockly::win
