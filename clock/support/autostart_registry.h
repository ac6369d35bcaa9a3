// Start with Windows, portable: the Run key's value "NaoZhong", and the
// registry procedures it is built on (set, query and delete one value). The
// platform is reached through RegistryPort, declared here and implemented in
// clock/windows/autostart_registry_port.h; names and texts cross to it in the
// ANSI code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "clock/support/ports.h"

namespace tockly {

enum class RegistryHive : std::uint32_t {
    current_user = 0x80000001u,
    local_machine = 0x80000002u,
};

inline constexpr std::uint32_t reg_sz = 1;
inline constexpr std::uint32_t reg_dword = 4;
inline constexpr std::uint32_t key_access_mask = 0x3F;

using RegistryKey = std::uintptr_t;  // an open key; 0 is no key

struct RegistryQuery {
    long result = 0;          // 0: success
    std::uint32_t type = 0;
    std::string data;         // raw bytes of the value
};

class RegistryPort {
public:
    virtual ~RegistryPort() = default;
    // Opens a sub-key with the access mask (creating it first when asked);
    // 0 when it cannot be opened.
    virtual RegistryKey open(RegistryHive hive, std::string_view ansi_path, std::uint32_t access,
                             bool create = false) = 0;
    virtual long set(RegistryKey key, std::string_view ansi_name, std::uint32_t type, std::string_view data) = 0;
    virtual RegistryQuery query(RegistryKey key, std::string_view ansi_name) = 0;
    virtual long remove(RegistryKey key, std::string_view ansi_name) = 0;
    virtual void close(RegistryKey key) = 0;
};

struct RegistryAccess {
    RegistryPort& port;
    AnsiCodec& codec;
};

// A value as the procedures pass it: text for REG_SZ, a number for REG_DWORD.
struct RegistryValue {
    std::string text;
    std::optional<std::int32_t> number;
    bool empty() const { return !number && text.empty(); }
};

long set_value(RegistryAccess io, RegistryKey key, std::string_view name, std::uint32_t type,
               const RegistryValue& value);
long query_value(RegistryAccess io, RegistryKey key, std::string_view name, RegistryValue& value);

// Returns the result of the write (0: written) so that callers can fall back;
// the clock's own callers ignore it, as they always have.
long write_registry_value(RegistryAccess io, RegistryHive hive, std::string_view path, std::string_view name,
                  const RegistryValue& value, std::uint32_t type);
RegistryValue read_registry_value(RegistryAccess io, RegistryHive hive, std::string_view path, std::string_view name);
void delete_registry_value(RegistryAccess io, RegistryHive hive, std::string_view path, std::string_view name);

// Start with Windows: the value "NaoZhong" of the Run key.
namespace autostart {
inline constexpr std::string_view run_key = "software\\microsoft\\windows\\currentversion\\run";
inline constexpr std::string_view value_name = "NaoZhong";

// On when either the machine-wide or the current user's Run key holds the value.
bool is_on(RegistryAccess io);
// Writes the machine-wide value; where a normal user may not, the current
// user's Run key takes it, so the check mark never claims a start that will
// not happen. False when neither could be written.
bool switch_on(RegistryAccess io, std::string_view executable_path);
// Deletes the value from both keys.
void switch_off(RegistryAccess io);
}  // namespace autostart

}  // namespace tockly
