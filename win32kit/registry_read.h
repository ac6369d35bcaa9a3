// Toolkit: reading registry keys and string values in UTF-16, as the
// control's COM registration and its checks do. (The clock's start with
// Windows has its own, ANSI, port in clock/support/autostart_registry.h.)
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace win32kit {

// "{XXXXXXXX-XXXX-...}", as registry keys name classes and interfaces.
std::wstring guid_text(REFGUID guid);

bool registry_key_exists(HKEY root, const std::wstring& key);

// A string value (the key's default value for a null name); nothing when
// it is missing, no string, or longer than 511 characters.
std::optional<std::wstring> registry_string(HKEY root, const std::wstring& key, const wchar_t* name = nullptr);

}  // namespace win32kit
