#include "clock/windows/file_system.h"

#include "win32kit/file_replace.h"
#include "win32kit/handles.h"
#include "win32kit/text_codec.h"

namespace tockly::win {

using win32kit::widen;

std::optional<std::string> Win32FileSystem::find_name(std::string_view path) {
    WIN32_FIND_DATAW data{};
    const HANDLE h = FindFirstFileW(widen(path).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(h);
    return win32kit::narrow(data.cFileName);
}

std::optional<std::string> Win32FileSystem::read_bytes(std::string_view path) {
    win32kit::unique_handle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
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
    return win32kit::replace_file(widen(path), bytes);
}

bool Win32FileSystem::replace_atomically(std::string_view path, std::string_view bytes) {
    return win32kit::replace_file(widen(path), bytes);
}

bool Win32FileSystem::can_replace(std::string_view path) { return win32kit::can_replace_file(widen(path)); }

std::string Win32FileSystem::temp_folder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    std::string folder = n ? win32kit::narrow(std::wstring_view(buffer, n)) : std::string(".\\");
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

}  // namespace tockly::win
