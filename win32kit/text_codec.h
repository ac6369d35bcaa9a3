// Conversions at the platform boundary: UTF-8 inside, UTF-16 for window text
// and file names, the ANSI code page where the platform works in ANSI.
#pragma once

#include <string>
#include <string_view>

namespace win32kit {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);
std::string utf8_to_ansi(std::string_view utf8);
std::string ansi_to_utf8(std::string_view ansi);

}  // namespace win32kit
