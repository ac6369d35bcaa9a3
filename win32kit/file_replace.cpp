#include "win32kit/file_replace.h"

#include "win32kit/handles.h"

namespace win32kit {

namespace {

bool read_only(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

unique_handle open_for_writing(const std::wstring& path, DWORD disposition, DWORD flags = FILE_ATTRIBUTE_NORMAL,
                               DWORD access = GENERIC_WRITE) {
    const HANDLE file = CreateFileW(path.c_str(), access, 0, nullptr, disposition, flags, nullptr);
    return unique_handle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// Whoever filled the file may have closed it without a flush (the profile
// functions do): the bytes go to the disk before the file takes the old
// one's place.
bool flush(const std::wstring& path) {
    const unique_handle file = open_for_writing(path, OPEN_EXISTING);
    return file && FlushFileBuffers(file.get());
}

void delete_file(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

}  // namespace

std::wstring replacement_path(const std::wstring& path) { return path + L".tmp"; }

bool write_new_file(const std::wstring& path, std::string_view bytes) {
    const unique_handle file = open_for_writing(path, CREATE_ALWAYS);
    if (!file) return false;
    DWORD written = 0;
    return bytes.empty() ||
           (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

bool replace_file(const std::wstring& path, const std::function<bool(const std::wstring& replacement)>& fill) {
    if (read_only(path)) return false;
    const std::wstring replacement = replacement_path(path);
    // One a crash left behind is no part of this change.
    delete_file(replacement);
    if (fill(replacement) && flush(replacement) &&
        MoveFileExW(replacement.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    delete_file(replacement);
    return false;
}

bool replace_file(const std::wstring& path, std::string_view bytes) {
    return replace_file(path, [&](const std::wstring& replacement) { return write_new_file(replacement, bytes); });
}

bool can_replace_file(const std::wstring& path) {
    if (read_only(path)) return false;
    // Made and gone again in one go: the file vanishes when its handle closes.
    return open_for_writing(replacement_path(path), CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE,
                            GENERIC_WRITE | DELETE) != nullptr;
}

}  // namespace win32kit
