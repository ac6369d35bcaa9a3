#include "clock/windows/module_resources.h"

#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

std::optional<std::string> Win32Resources::load(std::string_view type, int number) {
    // Type names of resources compare without regard to case ("gif" finds "GIF").
    const std::wstring type_name = widen(type);
    HRSRC found = FindResourceExW(module_, type_name.c_str(), MAKEINTRESOURCEW(number),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    if (!found) found = FindResourceW(module_, MAKEINTRESOURCEW(number), type_name.c_str());
    if (!found) return std::nullopt;
    const HGLOBAL loaded = LoadResource(module_, found);
    const DWORD size = SizeofResource(module_, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string(static_cast<const char*>(data), size);
}

std::string Win32AnsiCodec::to_ansi(std::string_view utf8) { return utf8_to_ansi(utf8); }
std::string Win32AnsiCodec::from_ansi(std::string_view ansi) { return ansi_to_utf8(ansi); }

}  // namespace tockly::win
