#include "clock/support/autostart_registry.h"

#include <cstring>

namespace tockly {

long set_value(RegistryAccess io, RegistryKey key, std::string_view name, std::uint32_t type,
               const RegistryValue& value) {
    const std::string ansi_name = io.codec.to_ansi(name);
    if (type == reg_sz) {
        const std::string text = value.number ? std::to_string(*value.number) : value.text;
        std::string data = io.codec.to_ansi(text);
        data.push_back('\0');  // the size counts the one terminating NUL
        return io.port.set(key, ansi_name, reg_sz, data);
    }
    if (type == reg_dword) {
        std::int32_t number = value.number.value_or(0);
        if (!value.number) {
            try {
                number = static_cast<std::int32_t>(std::stol(value.text));
            } catch (...) {
                number = 0;
            }
        }
        char bytes[4];
        std::memcpy(bytes, &number, 4);
        return io.port.set(key, ansi_name, reg_dword, std::string_view(bytes, 4));
    }
    return 0;
}

long query_value(RegistryAccess io, RegistryKey key, std::string_view name, RegistryValue& value) {
    value = {};
    const RegistryQuery q = io.port.query(key, io.codec.to_ansi(name));
    if (q.result != 0) return q.result;
    if (q.type == reg_sz) {
        std::string data = q.data;
        if (!data.empty()) data.pop_back();  // the terminating NUL
        const auto nul = data.find('\0');
        if (nul != std::string::npos) data.resize(nul);
        value.text = io.codec.from_ansi(data);
        return 0;
    }
    if (q.type == reg_dword && q.data.size() >= 4) {
        std::int32_t number = 0;
        std::memcpy(&number, q.data.data(), 4);
        value.number = number;
        return 0;
    }
    return -1;
}

namespace {

long write_value(RegistryAccess io, RegistryHive hive, std::string_view path, std::string_view name,
                 const RegistryValue& value, std::uint32_t type, bool create) {
    const RegistryKey key = io.port.open(hive, io.codec.to_ansi(path), key_access_mask, create);
    if (!key) return 2;  // the key could not be opened: nothing written
    const long result = set_value(io, key, name, type, value);
    io.port.close(key);
    return result;
}

}  // namespace

long write_registry_value(RegistryAccess io, RegistryHive hive, std::string_view path, std::string_view name,
                  const RegistryValue& value, std::uint32_t type) {
    return write_value(io, hive, path, name, value, type, false);
}

RegistryValue read_registry_value(RegistryAccess io, RegistryHive hive, std::string_view path, std::string_view name) {
    RegistryValue value;
    const RegistryKey key = io.port.open(hive, io.codec.to_ansi(path), key_access_mask);
    if (!key) return value;
    query_value(io, key, name, value);
    io.port.close(key);
    return value;
}

void delete_registry_value(RegistryAccess io, RegistryHive hive, std::string_view path, std::string_view name) {
    const RegistryKey key = io.port.open(hive, io.codec.to_ansi(path), key_access_mask);
    if (!key) return;
    io.port.remove(key, io.codec.to_ansi(name));
    io.port.close(key);
}

namespace autostart {

bool is_on(RegistryAccess io) {
    return !read_registry_value(io, RegistryHive::local_machine, run_key, value_name).empty() ||
           !read_registry_value(io, RegistryHive::current_user, run_key, value_name).empty();
}

bool switch_on(RegistryAccess io, std::string_view executable_path) {
    const RegistryValue path{std::string(executable_path), std::nullopt};
    if (write_registry_value(io, RegistryHive::local_machine, run_key, value_name, path, reg_sz) == 0) return true;
    // The user's own Run key may not exist yet in a fresh profile.
    return write_value(io, RegistryHive::current_user, run_key, value_name, path, reg_sz, true) == 0;
}

void switch_off(RegistryAccess io) {
    delete_registry_value(io, RegistryHive::local_machine, run_key, value_name);
    delete_registry_value(io, RegistryHive::current_user, run_key, value_name);
}

}  // namespace autostart

}  // namespace tockly
