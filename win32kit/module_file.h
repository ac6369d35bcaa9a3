// The file a module (the running program by default) was loaded from, at
// any length, and the folder it sits in.
#pragma once

#include <windows.h>

#include <string>

namespace win32kit {

std::wstring module_path(HMODULE module = nullptr);

// The folder of the module's file, always ending in one backslash
// ("C:\Tockly\", "C:\"): the program folder, where the clock keeps its
// settings and sounds and the control's hosts find Lunetra.ocx.
std::wstring module_folder(HMODULE module = nullptr);

}  // namespace win32kit
