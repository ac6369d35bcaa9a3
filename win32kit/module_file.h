// The file a module (the running program by default) was loaded from, at
// any length.
#pragma once

#include <windows.h>

#include <string>

namespace win32kit {

std::wstring module_path(HMODULE module = nullptr);

}  // namespace win32kit
