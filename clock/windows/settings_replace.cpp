#include "clock/windows/settings_replace.h"

#include "clock/windows/file_system.h"
#include "win32kit/file_replace.h"
#include "win32kit/text_codec.h"

namespace tockly::win {

namespace {

// The wide call, so that a folder with any characters in its name takes the
// write; the file stays in the ANSI code page, as a file without a
// byte-order mark does under the profile functions.
bool write_profile_values(std::span<const ProfileWrite> writes, const std::wstring& path) {
    for (const ProfileWrite& w : writes) {
        if (!WritePrivateProfileStringW(win32kit::widen(w.section).c_str(), win32kit::widen(w.key).c_str(),
                                        win32kit::widen(w.value).c_str(), path.c_str()))
            return false;
    }
    return true;
}

}  // namespace

bool replace_profile_values(std::span<const ProfileWrite> writes, std::string_view path) {
    if (writes.empty()) return true;
    const std::wstring file = win32kit::widen(path);
    // The copy is written fresh (not CopyFile, which keeps the old time
    // stamp): the profile functions keep recently read files in memory and
    // trust a file whose time stamp they have seen before. A missing file
    // starts as an empty copy for the same reason.
    std::string bytes;
    if (GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const auto read = Win32FileSystem().read_bytes(path);
        if (!read) return false;
        bytes = *read;
    }
    return win32kit::replace_file(file, [&](const std::wstring& copy) {
        return win32kit::write_new_file(copy, bytes) && write_profile_values(writes, copy);
    });
}

void remove_leftover_replacement(std::string_view path) {
    const std::wstring copy = win32kit::replacement_path(win32kit::widen(path));
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(copy.c_str());
}

}  // namespace tockly::win
