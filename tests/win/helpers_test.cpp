// Resource extraction, the shutdown batch file, the regional time format and
// picture decoding on the real platform.
#include <gtest/gtest.h>

#include "clock/support/clock_files.h"
#include "clock/support/settings_file.h"
#include "clock/windows/alarm_dialog_ports.h"
#include "clock/windows/picture.h"
#include "clock/windows/file_system.h"
#include "clock/windows/regional_time_format.h"
#include "clock/windows/screen_metrics.h"
#include "clock/windows/module_resources.h"
#include "clock/windows/profile_store.h"
#include "tests/win/win_test_util.h"

namespace tockly {
namespace {

using wintest::ScratchFolder;
using wintest::source_path;

TEST(extract_resource, CopiesTheEmbeddedResourceToOneFilePerType) {
    win::Win32Resources resources;
    win::Win32FileSystem files;
    const std::string path = extract_resource(resources, files, 203, "gif");
    EXPECT_EQ(path, files.temp_folder() + "temp.gif");
    EXPECT_EQ(files.read_bytes(path), files.read_bytes(source_path("clock\\resources\\gif\\203.gif")));
    EXPECT_EQ(extract_resource(resources, files, 101, "gif"), path);
    EXPECT_EQ(files.read_bytes(path), files.read_bytes(source_path("clock\\resources\\gif\\101.gif")));
    const std::string wav = extract_resource(resources, files, 401, "WAV");
    EXPECT_EQ(wav, files.temp_folder() + "temp.WAV");
    EXPECT_EQ(files.read_bytes(wav), files.read_bytes(source_path("clock\\resources\\wav\\401.wav")));
}

TEST(Resources, EveryPictureAndSoundIsEmbeddedInChinese) {
    win::Win32Resources resources;
    for (int n : {101, 107, 114, 201, 202, 203, 204, 301, 302}) {
        EXPECT_TRUE(FindResourceExW(nullptr, L"GIF", MAKEINTRESOURCEW(n), 2052)) << "GIF " << n;
        const auto bytes = resources.load("gif", n);
        ASSERT_TRUE(bytes) << n;
        EXPECT_EQ(bytes->substr(0, 4), "GIF8") << n;
    }
    EXPECT_TRUE(FindResourceExW(nullptr, L"WAV", MAKEINTRESOURCEW(401), 2052));
    EXPECT_FALSE(resources.load("gif", 115));
}

TEST(write_shutdown_batch, WritesTheTwoLinesByteForByteInGbk) {
    ScratchFolder folder("bat");
    win::Win32FileSystem files;
    win::Win32AnsiCodec codec;
    ASSERT_TRUE(write_shutdown_batch(files, codec, folder.path(), 20));
    EXPECT_EQ(files.read_bytes(folder.file("CloseWindos.bat")),
              "shutdown.exe -s -c \"\xc4\xfa\xb5\xc4\xbc\xc6\xcb\xe3\xbb\xfa\xbc\xb4\xbd\xab\xb9\xd8\xb1\xd5\xa3\xac"
              "\xb5\xb9\xbc\xc6\xca\xb1\xd2\xd1\xbe\xad\xb1\xbb\xc6\xf4\xb6\xaf\xa3\xa1\" -t 20\r\nDel %0\r\n");
    EXPECT_FALSE(write_shutdown_batch(files, codec, folder.file("no-such-folder\\"), 20));
}

TEST(RegionalTimeFormat, EveryTimeOfDayReadsBack) {
    const TimeFormat format = win::regional_time_format();
    EXPECT_FALSE(format.picture.empty());
    for (int t = 0; t < seconds_per_day; t += 7) {
        const std::string text = format_time_of_day(t, format);
        ASSERT_EQ(parse_time_of_day(text, format), t) << format.picture << " " << text;
    }
}

TEST(Pictures, FacesDecodeAndOtherBytesDoNot) {
    win::Win32Resources resources;
    const auto face = win::decode_picture(*resources.load("gif", 201));
    ASSERT_TRUE(face);
    EXPECT_EQ(face.width, 200);
    EXPECT_EQ(face.height, 200);
    EXPECT_FALSE(win::decode_picture("this is not a picture at all"));
    EXPECT_FALSE(win::decode_picture(""));
    EXPECT_FALSE(win::load_picture_file("C:\\no\\such\\file.gif"));
}

// A program folder named with a space, Chinese and a letter outside GBK:
// its settings, its Voice folder's lists and its skins all read.
TEST(ProgramFolder, AnyNameWorks) {
    ScratchFolder folder("绿色 软件 ñ");
    win::Win32FileSystem files;
    files.write_bytes(folder.file("Software_information.ini"), "[naoling]\r\n0ts=\xc6\xf0\xb4\xb2\r\n");
    win::Win32ProfileStore profile;
    struct : MessageBoxes {
        void show(std::string_view, std::string_view, MessageIcon) override {}
    } boxes;
    EXPECT_EQ(read_setting({profile, boxes}, "naoling", "0ts", folder.file("Software_information.ini")), "起床");
    EXPECT_TRUE(write_setting({profile, boxes}, "naoling", "0ts", "午饭", folder.file("Software_information.ini")));
    EXPECT_EQ(files.read_bytes(folder.file("Software_information.ini")), "[naoling]\r\n0ts=\xce\xe7\xb7\xb9\r\n")
        << "still in GBK";

    win::Win32Resources resources;
    files.write_bytes(folder.file("起床 铃.gif"), *resources.load("gif", 202));
    EXPECT_TRUE(win::load_picture_file(folder.file("起床 铃.gif")));
    const auto names = win::Win32Folders().file_names(folder.path().substr(0, folder.path().size() - 1));
    EXPECT_NE(std::find(names.begin(), names.end(), "起床 铃.gif"), names.end()) << ::testing::PrintToString(names);
}

TEST(ScreenMetrics, TaskbarHeightComesFromTheWorkArea) {
    const ScreenMetrics m = win::screen_metrics();
    EXPECT_GT(m.width_twips, 0);
    EXPECT_GE(taskbar_height(m), 0);
}

}  // namespace
}  // namespace tockly
