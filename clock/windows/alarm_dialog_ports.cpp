#include "clock/windows/alarm_dialog_ports.h"

#include <commdlg.h>

#include <vector>

#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

std::vector<std::string> Win32Folders::file_names(std::string_view folder) {
    std::vector<std::string> names;
    std::wstring pattern = widen(folder);
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(narrow(data.cFileName));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

bool Win32Folders::rename_file(std::string_view from, std::string_view to) {
    // MoveFileW refuses an existing target, which keeps a space-free twin.
    return MoveFileW(widen(from).c_str(), widen(to).c_str()) != 0;
}

std::string Win32FileOpenDialog::open(std::string_view title, std::string_view filter, int filter_index) {
    // "name|pattern|..." becomes "name\0pattern\0...\0\0".
    std::wstring filters;
    for (const auto& [name, pattern] : split_filter(filter)) {
        filters += widen(name);
        filters += L'\0';
        filters += widen(pattern);
        filters += L'\0';
    }
    filters += L'\0';
    const std::wstring wide_title = widen(title);
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(filter_index);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = wide_title.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!GetOpenFileNameW(&ofn)) return {};
    return narrow(file.data());
}

}  // namespace tockly::win
