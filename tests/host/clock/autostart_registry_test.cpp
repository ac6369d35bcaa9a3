#include <gtest/gtest.h>

#include <map>

#include "tests/host/clock/fakes.h"
#include "clock/support/autostart_registry.h"

namespace tockly {
namespace {

// A registry of keys holding values; keys that do not exist cannot be opened
// unless created, and a key can be made read-only.
class FakeRegistry : public RegistryPort {
public:
    struct Key {
        std::map<std::string, std::pair<std::uint32_t, std::string>> values;
        bool writable = true;
    };
    std::map<std::string, Key> keys;  // "hive|path" (lower case)
    std::map<RegistryKey, std::string> open_keys;
    RegistryKey next = 1;
    int opened = 0, closed = 0;

    static std::string id(RegistryHive hive, std::string_view path) {
        return std::to_string(static_cast<std::uint32_t>(hive)) + "|" + test::lower(path);
    }
    RegistryKey open(RegistryHive hive, std::string_view path, std::uint32_t access, bool create) override {
        EXPECT_EQ(access, 0x3Fu);
        const std::string k = id(hive, path);
        if (!keys.count(k)) {
            if (!create) return 0;
            keys[k];
        }
        if (!keys[k].writable) return 0;  // opening with write access is refused
        ++opened;
        open_keys[next] = k;
        return next++;
    }
    long set(RegistryKey key, std::string_view name, std::uint32_t type, std::string_view data) override {
        if (!open_keys.count(key)) return 6;
        keys[open_keys[key]].values[test::lower(name)] = {type, std::string(data)};
        return 0;
    }
    RegistryQuery query(RegistryKey key, std::string_view name) override {
        if (!open_keys.count(key)) return {6, 0, {}};
        auto& values = keys[open_keys[key]].values;
        const auto it = values.find(test::lower(name));
        if (it == values.end()) return {2, 0, {}};
        return {0, it->second.first, it->second.second};
    }
    long remove(RegistryKey key, std::string_view name) override {
        if (!open_keys.count(key)) return 6;
        return keys[open_keys[key]].values.erase(test::lower(name)) ? 0 : 2;
    }
    void close(RegistryKey key) override {
        ++closed;
        open_keys.erase(key);
    }
};

class Utf8Codec : public AnsiCodec {
public:
    std::string to_ansi(std::string_view s) override { return std::string(s); }
    std::string from_ansi(std::string_view s) override { return std::string(s); }
};

const std::string kRun = "software\\microsoft\\windows\\currentversion\\run";

struct RegistryRig : ::testing::Test {
    FakeRegistry reg;
    Utf8Codec codec;
    RegistryAccess io{reg, codec};
    void SetUp() override {
        reg.keys[FakeRegistry::id(RegistryHive::local_machine, kRun)].values["other"] = {1, std::string("x\0", 2)};
        reg.keys[FakeRegistry::id(RegistryHive::current_user, kRun)];
    }
    FakeRegistry::Key& machine() { return reg.keys[FakeRegistry::id(RegistryHive::local_machine, kRun)]; }
    FakeRegistry::Key& user() { return reg.keys[FakeRegistry::id(RegistryHive::current_user, kRun)]; }
};

TEST_F(RegistryRig, TextValuesAreWrittenWithOneNulAndReadBackWithout) {
    const std::string path = "C:\\Program Files\\Tockly\\Tockly.exe";
    EXPECT_EQ(write_registry_value(io, RegistryHive::local_machine, kRun, "NaoZhong", {path, {}}, reg_sz), 0);
    EXPECT_EQ(machine().values["naozhong"].first, 1u);
    EXPECT_EQ(machine().values["naozhong"].second, path + std::string(1, '\0')) << "no quotes, one NUL";
    EXPECT_EQ(read_registry_value(io, RegistryHive::local_machine, kRun, "NaoZhong").text, path);
    EXPECT_EQ(reg.opened, reg.closed) << "every key is closed again";
}

TEST_F(RegistryRig, NumbersAndOtherTypes) {
    EXPECT_EQ(write_registry_value(io, RegistryHive::local_machine, kRun, "n", {"", 1234}, reg_dword), 0);
    EXPECT_EQ(read_registry_value(io, RegistryHive::local_machine, kRun, "n").number, 1234);
    EXPECT_EQ(write_registry_value(io, RegistryHive::local_machine, kRun, "b", {"x", {}}, 3), 0) << "other types write nothing";
    EXPECT_FALSE(machine().values.count("b"));
    machine().values["bin"] = {3, "\x01\x02"};
    RegistryValue v;
    const RegistryKey key = reg.open(RegistryHive::local_machine, kRun, 0x3F, false);
    EXPECT_EQ(query_value(io, key, "bin", v), -1);
    EXPECT_TRUE(v.empty());
    EXPECT_EQ(query_value(io, key, "missing", v), 2);
    EXPECT_TRUE(v.empty());
    reg.close(key);
}

TEST_F(RegistryRig, DeletingRemovesOnlyThatValue) {
    write_registry_value(io, RegistryHive::local_machine, kRun, "NaoZhong", {"p", {}}, reg_sz);
    delete_registry_value(io, RegistryHive::local_machine, kRun, "NaoZhong");
    EXPECT_FALSE(machine().values.count("naozhong"));
    EXPECT_TRUE(machine().values.count("other"));
    delete_registry_value(io, RegistryHive::local_machine, kRun, "NaoZhong");  // twice is harmless
}

TEST_F(RegistryRig, AutostartUsesTheMachineKeyWhenItMay) {
    EXPECT_FALSE(autostart::is_on(io));
    EXPECT_TRUE(autostart::switch_on(io, "C:\\Tockly\\Tockly.exe"));
    EXPECT_TRUE(machine().values.count("naozhong"));
    EXPECT_FALSE(user().values.count("naozhong"));
    EXPECT_TRUE(autostart::is_on(io));
    autostart::switch_off(io);
    EXPECT_FALSE(autostart::is_on(io));
    EXPECT_TRUE(machine().values.count("other"));
}

TEST_F(RegistryRig, AutostartFallsBackToTheUsersKeyWhenTheMachineKeyIsRefused) {
    machine().writable = false;
    reg.keys.erase(FakeRegistry::id(RegistryHive::current_user, kRun));  // a fresh profile
    EXPECT_TRUE(autostart::switch_on(io, "C:\\Tockly\\Tockly.exe"));
    EXPECT_EQ(user().values["naozhong"].second, std::string("C:\\Tockly\\Tockly.exe\0", 21));
    EXPECT_TRUE(autostart::is_on(io)) << "the check mark shows the start that will happen";
    autostart::switch_off(io);
    EXPECT_FALSE(user().values.count("naozhong"));
    EXPECT_FALSE(autostart::is_on(io));
}

TEST_F(RegistryRig, AutostartReportsWhenNothingCouldBeWritten) {
    machine().writable = false;
    user().writable = false;
    EXPECT_FALSE(autostart::switch_on(io, "C:\\Tockly\\Tockly.exe"));
    EXPECT_FALSE(autostart::is_on(io));
}

}  // namespace
}  // namespace tockly
