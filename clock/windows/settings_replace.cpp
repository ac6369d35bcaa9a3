#include "clock/windows/settings_replace.h"

#include "win32kit/handles.h"
#include "clock/windows/file_system.h"
#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

namespace {

// Writes the bytes to a new file and pushes them to the disk before the
// handle closes.
bool write_flushed(const std::wstring& path, std::string_view bytes) {
    unique_handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return false;
    }
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                           written != bytes.size()))
        return false;
    return FlushFileBuffers(file.get()) != 0;
}

bool flush(const std::wstring& path) {
    unique_handle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return false;
    }
    return FlushFileBuffers(file.get()) != 0;
}

}  // namespace

std::string replacement_path(std::string_view path) { return std::string(path) + ".tmp"; }

void replace_profile_values(std::span<const ProfileWrite> writes, std::string_view path) {
    if (writes.empty()) return;
    const std::wstring file = widen(path), copy = widen(replacement_path(path));
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return;

    // The copy is written fresh (not CopyFile, which keeps the old time
    // stamp): the profile functions keep recently read files in memory and
    // trust a file whose time stamp they have seen before. A missing file
    // starts as an empty copy for the same reason.
    std::string bytes;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const auto read = Win32FileSystem().read_bytes(path);
        if (!read) return;
        bytes = *read;
    }
    if (!write_flushed(copy, bytes)) {
        DeleteFileW(copy.c_str());
        return;
    }
    const std::string ansi_copy = utf8_to_ansi(replacement_path(path));
    for (const ProfileWrite& w : writes) {
        const std::string s = utf8_to_ansi(w.section), k = utf8_to_ansi(w.key), v = utf8_to_ansi(w.value);
        if (!WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(), ansi_copy.c_str())) {
            DeleteFileW(copy.c_str());
            return;
        }
    }
    if (!flush(copy) || !MoveFileExW(copy.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileW(copy.c_str());
}

void remove_leftover_replacement(std::string_view path) {
    const std::wstring copy = widen(replacement_path(path));
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(copy.c_str());
}

bool ReplacingProfileStore::write(std::string_view section, std::string_view key, std::string_view value,
                                  std::string_view path) {
    const ProfileWrite one{std::string(section), std::string(key), std::string(value)};
    replace_profile_values({&one, 1}, path);
    return true;
}

bool ReplacingProfileStore::write_all(std::span<const ProfileWrite> writes, std::string_view path) {
    replace_profile_values(writes, path);
    return true;
}

}  // namespace tockly::win
