#include "clock/windows/autostart_registry_port.h"

#include <windows.h>

namespace tockly::win {

namespace {
HKEY as_hkey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

RegistryKey Win32Registry::open(RegistryHive hive, std::string_view ansi_path, std::uint32_t access, bool create) {
    const HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<std::uint32_t>(hive)) |
                                             (static_cast<ULONG_PTR>(0xFFFFFFFF) << 32));
    const std::string path(ansi_path);
    HKEY key = nullptr;
    const LONG result = create ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr)
                               : RegOpenKeyExA(root, path.c_str(), 0, access, &key);
    return result == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(key) : 0;
}

long Win32Registry::set(RegistryKey key, std::string_view ansi_name, std::uint32_t type, std::string_view data) {
    const std::string name(ansi_name);
    return RegSetValueExA(as_hkey(key), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

RegistryQuery Win32Registry::query(RegistryKey key, std::string_view ansi_name) {
    const std::string name(ansi_name);
    RegistryQuery q;
    DWORD type = 0, size = 0;
    q.result = RegQueryValueExA(as_hkey(key), name.c_str(), nullptr, &type, nullptr, &size);
    if (q.result != ERROR_SUCCESS) return q;
    q.type = type;
    q.data.assign(size, '\0');
    q.result = RegQueryValueExA(as_hkey(key), name.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(q.data.data()), &size);
    if (q.result == ERROR_SUCCESS) q.data.resize(size);
    else q.data.clear();
    return q;
}

long Win32Registry::remove(RegistryKey key, std::string_view ansi_name) {
    const std::string name(ansi_name);
    return RegDeleteValueA(as_hkey(key), name.c_str());
}

void Win32Registry::close(RegistryKey key) { RegCloseKey(as_hkey(key)); }

}  // namespace tockly::win
