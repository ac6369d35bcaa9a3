// The Windows side of start with Windows: RegistryPort (declared in
// clock/support/autostart_registry.h) on advapi32's ANSI registry functions.
#pragma once

#include "clock/support/autostart_registry.h"

namespace tockly::win {

class Win32Registry : public RegistryPort {
public:
    RegistryKey open(RegistryHive hive, std::string_view ansi_path, std::uint32_t access, bool create) override;
    long set(RegistryKey key, std::string_view ansi_name, std::uint32_t type, std::string_view data) override;
    RegistryQuery query(RegistryKey key, std::string_view ansi_name) override;
    long remove(RegistryKey key, std::string_view ansi_name) override;
    void close(RegistryKey key) override;
};

}  // namespace tockly::win
