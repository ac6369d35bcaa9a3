// The settings file through the platform's profile functions, in code page 936.
#include <gtest/gtest.h>

#include "clock/support/clock_files.h"
#include "clock/support/settings_file.h"
#include "clock/windows/file_system.h"
#include "clock/windows/profile_store.h"
#include "tests/win/win_test_util.h"

using namespace win32kit;

namespace tockly {
namespace {

using wintest::ScratchFolder;

class NoBoxes : public MessageBoxes {
public:
    int shown = 0;
    void show(std::string_view, std::string_view, MessageIcon) override { ++shown; }
};

struct ProfileRig : ::testing::Test {
    ScratchFolder folder{"profile"};
    std::string ini = folder.file("Software_information.ini");
    win::Win32ProfileStore profile;
    win::Win32FileSystem files;
    NoBoxes boxes;
    SettingsAccess io{profile, boxes};
    std::string bytes() { return files.read_bytes(ini).value_or("<missing>"); }
};

TEST(Platform, AnsiCodePageIs936) { EXPECT_EQ(GetACP(), 936u); }

TEST_F(ProfileRig, NamesMatchWithoutRegardToCase) {
    EXPECT_TRUE(write_setting(io, "naoling", "NaoLingShu0", "3", ini));
    EXPECT_EQ(read_setting(io, "NAOLING", "naolingshu0", ini), "3");
    EXPECT_TRUE(write_setting(io, "Naoling", "naolingshu0", "4", ini));
    EXPECT_EQ(read_setting(io, "naoling", "NaoLingShu0", ini), "4");
    EXPECT_EQ(bytes(), "[naoling]\r\nNaoLingShu0=4\r\n") << "one entry, lines ended by CR LF";
    EXPECT_EQ(boxes.shown, 0);
}

TEST_F(ProfileRig, ChineseTextIsStoredInGbk) {
    EXPECT_TRUE(write_setting(io, "naoling", "0ts", "起床了", ini));
    EXPECT_EQ(bytes(), "[naoling]\r\n0ts=\xc6\xf0\xb4\xb2\xc1\xcb\r\n");
    EXPECT_EQ(read_setting(io, "naoling", "0ts", ini), "起床了");
}

TEST_F(ProfileRig, EmptyValuesAreStoredAsABlankEntryAndTidiedAway) {
    EXPECT_TRUE(write_setting(io, "naoling", "0ts", "", ini));
    // Windows keeps the single space ("0ts= "); Wine's profile writer trims it.
    // Either way the key exists and reads back blank once trimmed.
    const std::string written = bytes();
    EXPECT_TRUE(written == "[naoling]\r\n0ts= \r\n" || written == "[naoling]\r\n0ts=\r\n") << written;
    EXPECT_EQ(trim_spaces(read_setting(io, "naoling", "0ts", ini)), "");
    EXPECT_TRUE(tidy_settings_file(files, ini));
    EXPECT_EQ(bytes(), "[naoling]\r\n0ts=\r\n");
    EXPECT_EQ(read_setting(io, "naoling", "0ts", ini), "");
}

TEST_F(ProfileRig, LongValuesReadBackCutTo254Bytes) {
    const struct { const char* name; std::string value; std::size_t utf8_bytes; } cases[] = {
        {"ASCII", std::string(300, 'a'), 254},
        // 300 characters of two GBK bytes each: 127 whole characters fit in 254 bytes.
        {"Chinese", [] { std::string s; for (int i = 0; i < 300; ++i) s += "钟"; return s; }(), 127 * 3},
        // An odd start makes the cut fall inside a character; the half is dropped.
        {"Chinese after one letter", [] { std::string s = "x"; for (int i = 0; i < 300; ++i) s += "钟"; return s; }(), 1 + 126 * 3},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(write_setting(io, "naoling", "0ts", c.value, ini));
        const std::string got = read_setting(io, "naoling", "0ts", ini);
        EXPECT_EQ(got.size(), c.utf8_bytes) << c.name;
        EXPECT_EQ(got, c.value.substr(0, c.utf8_bytes)) << c.name;
    }
}

TEST_F(ProfileRig, MissingFileSectionOrKeyReadEmptyWithoutAMessage) {
    EXPECT_EQ(read_setting(io, "mts", "matisheng0", ini), "");
    EXPECT_TRUE(write_setting(io, "mts", "matisheng0", "0", ini));
    EXPECT_EQ(read_setting(io, "zdtx", "matisheng0", ini), "");
    EXPECT_EQ(read_setting(io, "mts", "other", ini), "");
    EXPECT_EQ(boxes.shown, 0);
}

TEST_F(ProfileRig, DuplicateSectionsAndGarbageStillRead) {
    // A GBK lead byte followed by a space, which no GBK character has as its
    // second byte (the literal is split so the escape ends at the space).
    const std::string broken_gbk = "\x81\x20" "broken gbk";
    files.write_bytes(ini, std::string("\x01\x02\xff\xfe garbage\r\n[mts]\r\nmatisheng0=0\r\n[MTS]\r\nmatisheng0=1\r\n") +
                           broken_gbk + "\r\n[PiFu]\r\npifu0=\xc4\xac\xc8\xcf\xc6\xa4\xb7\xf4" "2\r\n" +
                           std::string(100000, 'z') + "\r\n");
    EXPECT_EQ(read_setting(io, "mts", "matisheng0", ini), "0") << "the first of duplicate sections wins";
    EXPECT_EQ(read_setting(io, "PiFu", "pifu0", ini), "默认皮肤2") << "the broken bytes do not swallow the next line";
    EXPECT_EQ(boxes.shown, 0);
}

TEST_F(ProfileRig, AtomicReplaceLeavesNoTemporaryAndKeepsAReadOnlyFile) {
    ASSERT_TRUE(files.write_bytes(ini, "old"));
    EXPECT_TRUE(files.replace_atomically(ini, "new"));
    EXPECT_EQ(bytes(), "new");
    EXPECT_FALSE(files.find_name(ini + ".tmp"));
    SetFileAttributesW(win32kit::widen(ini).c_str(), FILE_ATTRIBUTE_READONLY);
    files.replace_atomically(ini, "newer");
    EXPECT_EQ(bytes(), "new") << "a read-only settings file is not replaced";
    EXPECT_FALSE(files.find_name(ini + ".tmp"));
    SetFileAttributesW(win32kit::widen(ini).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ProfileRig, FindNameReturnsTheStoredLetterCase) {
    files.write_bytes(folder.file("software_INFORMATION.ini"), "x");
    EXPECT_EQ(files.find_name(ini), "software_INFORMATION.ini");
}

}  // namespace
}  // namespace tockly
