#include <gtest/gtest.h>

#include "tests/host/clock/fakes.h"
#include "clock/support/clock_files.h"

namespace tockly {
namespace {

using test::FakeFiles;
using test::FakeResources;

TEST(TidySettings, DropsBlankLinesTrimsSpacesAndEndsLinesInCrLf) {
    const struct { std::string_view name, in, out; } cases[] = {
        {"already tidy", "[mts]\r\nmatisheng0=1\r\n", "[mts]\r\nmatisheng0=1\r\n"},
        {"blank lines", "\r\n[mts]\r\n\r\n\r\nmatisheng0=1\r\n\r\n", "[mts]\r\nmatisheng0=1\r\n"},
        {"spaces around", "  [mts]  \r\n 0ts= hello \r\n", "[mts]\r\n0ts= hello\r\n"},
        {"single space value", "0ts= \r\n", "0ts=\r\n"},
        {"line of spaces becomes empty", "a\r\n   \r\nb\r\n", "a\r\n\r\nb\r\n"},
        {"tabs stay", "\tkey=v\t\r\n", "\tkey=v\t\r\n"},
        {"lone LF and CR", "a\nb\rc", "a\r\nb\r\nc\r\n"},
        {"no final newline", "[x]\r\ny=1", "[x]\r\ny=1\r\n"},
        {"empty", "", ""},
        {"GBK bytes kept", "0ts=\xd5\xfd\xb5\xe3 \r\n", "0ts=\xd5\xfd\xb5\xe3\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(tidy_settings_text(c.in), c.out) << c.name;
}

TEST(TidySettings, CopesWithBinaryGarbageAndHugeLines) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
    const std::string twice = tidy_settings_text(tidy_settings_text(garbage));
    // Two starts leave no blank line and no line with spaces at its ends,
    // and every byte that is not a space or a line end survives.
    EXPECT_EQ(twice.find("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(twice.find(" \r\n"), std::string::npos);
    EXPECT_EQ(twice.find("\r\n "), std::string::npos);
    const auto payload = [](const std::string& s) {
        std::string kept;
        for (char c : s) if (c != ' ' && c != '\r' && c != '\n') kept += c;
        return kept;
    };
    EXPECT_EQ(payload(twice), payload(garbage));
    const std::string huge(100000, 'x');
    EXPECT_EQ(tidy_settings_text(huge + "\r\n"), huge + "\r\n");
}

TEST(tidy_settings_file, ReplacesTheFileAtomicallyAndOnlyWhenItChanges) {
    FakeFiles files;
    const std::string path = "C:\\T\\Software_information.ini";
    files.files[path] = "\r\n[a]\r\n b=1 \r\n";
    EXPECT_TRUE(tidy_settings_file(files, path));
    EXPECT_EQ(files.files[path], "[a]\r\nb=1\r\n");
    EXPECT_EQ(files.atomic_replacements, 1);
    EXPECT_TRUE(tidy_settings_file(files, path));
    EXPECT_EQ(files.atomic_replacements, 1) << "a tidy file is left alone";
}

TEST(tidy_settings_file, LeavesTheFileWholeWhenItCannotBeReplaced) {
    FakeFiles files;
    const std::string path = "C:\\T\\Software_information.ini";
    files.files[path] = "\r\n[a]\r\nb=1\r\n";
    files.read_only = true;
    EXPECT_FALSE(tidy_settings_file(files, path));
    EXPECT_EQ(files.files[path], "\r\n[a]\r\nb=1\r\n");
    EXPECT_FALSE(tidy_settings_file(files, "C:\\T\\missing.ini"));
}

class IdentityCodec : public AnsiCodec {
public:
    std::string to_ansi(std::string_view s) override { return "ansi:" + std::string(s); }
    std::string from_ansi(std::string_view s) override { return std::string(s); }
};

TEST(write_shutdown_batch, WritesTheTwoLinesInTheAnsiCodePage) {
    FakeFiles files;
    IdentityCodec codec;
    EXPECT_TRUE(write_shutdown_batch(files, codec, "C:\\Tockly\\", 20));
    EXPECT_EQ(files.files["C:\\Tockly\\CloseWindos.bat"],
              "ansi:shutdown.exe -s -c \"您的计算机即将关闭，倒计时已经被启动！\" -t 20\r\nDel %0\r\n");
    files.read_only = true;
    EXPECT_FALSE(write_shutdown_batch(files, codec, "C:\\Tockly\\", 20));
}

TEST(extract_resource, OneTemporaryFilePerTypeOverwrittenByTheNextExtraction) {
    FakeFiles files;
    FakeResources resources;
    const std::string gif = extract_resource(resources, files, 203, "gif");
    EXPECT_EQ(gif, files.temp + "temp.gif");
    EXPECT_EQ(files.files[gif], "bytes of gif 203");
    EXPECT_EQ(extract_resource(resources, files, 101, "gif"), gif);
    EXPECT_EQ(files.files[gif], "bytes of gif 101");
    const std::string wav = extract_resource(resources, files, 401, "wav");
    EXPECT_EQ(wav, files.temp + "temp.wav");
    EXPECT_EQ(files.files[gif], "bytes of gif 101") << "another type has its own file";
}

TEST(extract_resource, ReturnsThePathEvenWhenNothingCouldBeWritten) {
    FakeFiles files;
    FakeResources resources;
    EXPECT_EQ(extract_resource(resources, files, 999, "gif"), files.temp + "temp.gif");
    EXPECT_FALSE(files.read_bytes(files.temp + "temp.gif"));
    files.read_only = true;
    EXPECT_EQ(extract_resource(resources, files, 201, "gif"), files.temp + "temp.gif");
}

TEST(taskbar_height, IsTheStripBelowTheWorkArea) {
    const struct { int height_twips, dpi, bottom_px, expected; } cases[] = {
        {11520, 96, 738, 450},   // 1024 x 768 with a 30-pixel taskbar at the bottom
        {11520, 96, 768, 0},     // taskbar elsewhere
        {14400, 120, 1160, 480},  // 120 dpi
        {11520, 192, 1472, 480},  // 192 dpi: 7.5 twips a pixel
    };
    for (const auto& c : cases) {
        ScreenMetrics s;
        s.height_twips = c.height_twips;
        s.dpi = c.dpi;
        s.work_area_bottom_px = c.bottom_px;
        EXPECT_EQ(taskbar_height(s), c.expected) << c.height_twips << " " << c.bottom_px;
    }
}

}  // namespace
}  // namespace tockly
