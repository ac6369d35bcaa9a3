// Changes of the settings file as whole-file replaces, against the real
// profile functions: the same bytes as an in-place write, nothing left beside
// the file, a file that cannot be replaced kept whole and the write failed,
// and reads that see every change at once.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "clock/support/settings_file.h"
#include "clock/windows/profile_store.h"
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
    win::Win32ProfileStore store;
    win::Win32FileSystem files;
    std::string bytes(const std::string& path) { return files.read_bytes(path).value_or("<missing>"); }
    void start_both(const std::string& text) {
        files.write_bytes(replaced, text);
        files.write_bytes(in_place, text);
    }
    // The platform's own in-place write, the reference for the bytes.
    static void write_in_place(const ProfileWrite& w, const std::string& path) {
        WritePrivateProfileStringA(utf8_to_ansi(w.section).c_str(), utf8_to_ansi(w.key).c_str(),
                                   utf8_to_ansi(w.value).c_str(), utf8_to_ansi(path).c_str());
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
        for (const ProfileWrite& w : c.writes) write_in_place(w, in_place);
        EXPECT_EQ(bytes(replaced), bytes(in_place)) << c.name;
        EXPECT_FALSE(files.find_name(replaced + ".tmp")) << c.name << ": no copy left beside";
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

// Each way a file cannot be replaced: the write says it failed, the save
// path shows its error, and the old file is whole with nothing left beside it.
TEST_F(ReplaceRig, AFileThatCannotBeReplacedIsLeftWholeAndTheWriteFails) {
    const std::string old = "[mts]\r\nmatisheng0=1\r\n";
    const std::wstring file = widen(replaced), beside = widen(replaced + ".tmp");
    HANDLE held = nullptr;
    const struct { const char* name; std::function<void()> block, unblock; } cases[] = {
        {"a read-only file", [&] { SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY); },
         [&] { SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); }},
        {"no new file beside it", [&] { CreateDirectoryW(beside.c_str(), nullptr); },
         [&] { RemoveDirectoryW(beside.c_str()); }},
        {"open in another program that lets no one delete it",
         [&] { held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr); },
         [&] { CloseHandle(held); }},
    };
    class CountedBoxes : public MessageBoxes {
    public:
        std::vector<std::string> texts;
        void show(std::string_view text, std::string_view, MessageIcon) override { texts.emplace_back(text); }
    } boxes;
    for (const auto& c : cases) {
        files.write_bytes(replaced, old);
        c.block();
        boxes.texts.clear();
        EXPECT_FALSE(store.write("mts", "matisheng0", "0", replaced)) << c.name;
        const ProfileWrite two[] = {{"mts", "matisheng0", "0"}, {"zdtx", "zhengdian0", "0"}};
        EXPECT_FALSE(store.write_all(two, replaced)) << c.name;
        EXPECT_FALSE(files.replace_atomically(replaced, "new")) << c.name;
        EXPECT_FALSE(files.write_bytes(replaced, "new")) << c.name;
        EXPECT_FALSE(write_setting({store, boxes}, "mts", "matisheng0", "0", replaced)) << c.name;
        EXPECT_EQ(boxes.texts, std::vector<std::string>{"写入文件“" + replaced + "”时出错"}) << c.name;
        c.unblock();
        EXPECT_EQ(bytes(replaced), old) << c.name;
        EXPECT_FALSE(files.find_name(replaced + ".tmp")) << c.name << ": nothing left beside";
        EXPECT_TRUE(files.can_replace(replaced)) << c.name << ": writable again";
        EXPECT_TRUE(store.write("mts", "matisheng0", "0", replaced)) << c.name;
    }
}

TEST_F(ReplaceRig, ALeftoverCopyIsRemovedAndTheFileKept) {
    files.write_bytes(replaced, "[mts]\r\nmatisheng0=1\r\n");
    files.write_bytes(replaced + ".tmp", "[mts]\r\nmatish");
    win::remove_leftover_replacement(replaced);
    EXPECT_FALSE(files.find_name(replaced + ".tmp"));
    EXPECT_EQ(bytes(replaced), "[mts]\r\nmatisheng0=1\r\n");
}

}  // namespace
}  // namespace tockly
