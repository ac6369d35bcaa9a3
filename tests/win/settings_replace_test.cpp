// Changes of the settings file as whole-file replaces, against the real
// profile functions: the same bytes as an in-place write, nothing left beside
// the file, a read-only file kept, and reads that see every change at once.
#include <gtest/gtest.h>

#include <vector>

#include "clock/support/settings_file.h"
#include "clock/windows/settings_replace.h"
#include "clock/windows/file_system.h"
#include "win32kit/text_codec.h"
#include "tests/win/win_test_util.h"

using namespace win32kit;

namespace tockly {
namespace {

using wintest::ScratchFolder;

struct ReplaceRig : ::testing::Test {
    ScratchFolder folder{"replace"};
    std::string replaced = folder.file("Software_information.ini");
    std::string in_place = folder.file("in_place.ini");
    win::ReplacingProfileStore store;
    win::Win32ProfileStore platform;
    win::Win32FileSystem files;
    std::string bytes(const std::string& path) { return files.read_bytes(path).value_or("<missing>"); }
    void start_both(const std::string& text) {
        files.write_bytes(replaced, text);
        files.write_bytes(in_place, text);
    }
};

TEST_F(ReplaceRig, TheFileEndsByteForByteAsAnInPlaceWriteLeavesIt) {
    const std::string start = "[mts]\r\nmatisheng0=1\r\nfatiaosheng0=fatiao3.wav\r\n\r\n[PiFu]\r\npifu0=\xc4\xac\r\n";
    const struct { const char* name; std::string start; std::vector<ProfileWrite> writes; } cases[] = {
        {"a key changed", start, {{"mts", "matisheng0", "0"}}},
        {"names in another letter case", start, {{"MTS", "MATISHENG0", "0"}}},
        {"a new key and a new section", start, {{"mts", "new", "1"}, {"naoling", "0ts", "起床"}}},
        {"a blank value", start, {{"naoling", "0ts", " "}}},
        {"no file yet", "", {{"naoling", "NaoLingShu0", "3"}, {"naoling", "0sj", "7:00:00"}}},
    };
    for (const auto& c : cases) {
        start_both(c.start);
        if (c.start.empty()) {
            DeleteFileW(win32kit::widen(replaced).c_str());
            DeleteFileW(win32kit::widen(in_place).c_str());
        }
        store.write_all(c.writes, replaced);
        for (const ProfileWrite& w : c.writes) platform.write(w.section, w.key, w.value, in_place);
        EXPECT_EQ(bytes(replaced), bytes(in_place)) << c.name;
        EXPECT_FALSE(files.find_name(win::replacement_path(replaced))) << c.name << ": no copy left beside";
    }
}

TEST_F(ReplaceRig, EveryChangeIsReadBackAtOnce) {
    // Changes within the same second: a reader that trusted a time stamp it
    // had seen before would read an old value here.
    class Quiet : public MessageBoxes {
        void show(std::string_view, std::string_view, MessageIcon) override {}
    } quiet;
    SettingsAccess io{store, quiet};
    for (int i = 0; i < 20; ++i) {
        const std::string value = std::to_string(i);
        ASSERT_TRUE(write_setting(io, "mts", "matisheng0", value, replaced));
        ASSERT_EQ(read_setting(io, "mts", "matisheng0", replaced), value) << "change " << i;
    }
}

TEST_F(ReplaceRig, AReadOnlyFileStaysAsItIs) {
    files.write_bytes(replaced, "[mts]\r\nmatisheng0=1\r\n");
    SetFileAttributesW(win32kit::widen(replaced).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(store.write("mts", "matisheng0", "0", replaced)) << "the refusal is the platform's, not an error";
    EXPECT_EQ(bytes(replaced), "[mts]\r\nmatisheng0=1\r\n");
    EXPECT_FALSE(files.find_name(win::replacement_path(replaced)));
    SetFileAttributesW(win32kit::widen(replaced).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ReplaceRig, ALeftoverCopyIsRemovedAndTheFileKept) {
    files.write_bytes(replaced, "[mts]\r\nmatisheng0=1\r\n");
    files.write_bytes(win::replacement_path(replaced), "[mts]\r\nmatish");
    win::remove_leftover_replacement(replaced);
    EXPECT_FALSE(files.find_name(win::replacement_path(replaced)));
    EXPECT_EQ(bytes(replaced), "[mts]\r\nmatisheng0=1\r\n");
}

}  // namespace
}  // namespace tockly
