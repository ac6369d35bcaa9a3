#include "clock/windows/profile_store.h"

#include "clock/windows/settings_replace.h"
#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

namespace {

// Cuts a trailing lead byte that lost its partner to the 254-byte limit, so a
// cut GBK text does not end in half a character.
std::string drop_broken_tail(std::string ansi) {
    std::size_t i = 0;
    while (i < ansi.size()) {
        if (IsDBCSLeadByte(static_cast<BYTE>(ansi[i]))) {
            if (i + 1 >= ansi.size()) {
                ansi.resize(i);
                break;
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return ansi;
}

}  // namespace

ProfileRead Win32ProfileStore::read(std::string_view section, std::string_view key, std::string_view path) {
    // The wide call, so that a folder with any characters in its name finds
    // its file; the value is then cut as the ANSI call's buffer cuts it.
    constexpr DWORD buffer_length = 255;
    wchar_t buffer[buffer_length] = {};
    const DWORD n = GetPrivateProfileStringW(widen(section).c_str(), widen(key).c_str(), L"", buffer, buffer_length,
                                             widen(path).c_str());
    if (n == 0) return {};
    std::string ansi = utf8_to_ansi(narrow(std::wstring_view(buffer, wcsnlen(buffer, buffer_length))));
    if (ansi.size() > buffer_length - 1) ansi.resize(buffer_length - 1);
    return {false, ansi_to_utf8(drop_broken_tail(std::move(ansi)))};
}

bool Win32ProfileStore::write(std::string_view section, std::string_view key, std::string_view value,
                              std::string_view path) {
    const ProfileWrite one{std::string(section), std::string(key), std::string(value)};
    return replace_profile_values({&one, 1}, path);
}

bool Win32ProfileStore::write_all(std::span<const ProfileWrite> writes, std::string_view path) {
    return replace_profile_values(writes, path);
}

}  // namespace tockly::win
