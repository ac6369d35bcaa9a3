#include <gtest/gtest.h>

#include "tests/host/clock/fakes.h"
#include "clock/support/settings_file.h"

namespace tockly {
namespace {

using test::FakeBoxes;
using test::FakeFiles;
using test::FakeProfile;

constexpr std::string_view kFile = "C:\\Tockly\\Software_information.ini";

TEST(read_setting, ReturnsStoredTextUntrimmedAndEmptyForMissing) {
    FakeProfile profile;
    FakeBoxes boxes;
    profile.set(kFile, "mts", "fatiaosheng0", " tick.wav ");
    EXPECT_EQ(read_setting({profile, boxes}, "MTS", "FaTiaoSheng0", kFile), " tick.wav ");
    EXPECT_EQ(read_setting({profile, boxes}, "mts", "nothing", kFile), "");
    EXPECT_TRUE(boxes.shown.empty()) << "a missing key is no error";
}

TEST(read_setting, ReportsAPlatformErrorInTheWarningBox) {
    FakeProfile profile;
    FakeBoxes boxes;
    profile.fail_reads = true;
    EXPECT_EQ(read_setting({profile, boxes}, "mts", "matisheng0", kFile), "");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "读取文件“C:\\Tockly\\Software_information.ini”时出错");
    EXPECT_EQ(boxes.shown[0].title, "警 告");
}

TEST(write_setting, StoresBlankValuesAsOneSpace) {
    const struct { std::string_view value, stored; } cases[] = {
        {"", " "}, {"   ", " "}, {"x", "x"}, {" x ", " x "}, {"\t", "\t"},
    };
    for (const auto& c : cases) {
        FakeProfile profile;
        FakeBoxes boxes;
        EXPECT_TRUE(write_setting({profile, boxes}, "naoling", "0ts", c.value, kFile)) << c.value;
        EXPECT_EQ(profile.read("naoling", "0ts", kFile).value, c.stored) << "value [" << c.value << "]";
    }
}

TEST(write_setting, RefusesEmptyNamesWithTheWarningBox) {
    const struct { std::string_view section, key, file; } cases[] = {
        {"", "k", kFile}, {"s", "  ", kFile}, {"s", "k", " "},
    };
    for (const auto& c : cases) {
        FakeProfile profile;
        FakeBoxes boxes;
        EXPECT_FALSE(write_setting({profile, boxes}, c.section, c.key, "v", c.file));
        EXPECT_TRUE(profile.writes.empty());
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "写入文件“" + std::string(c.file) + "”时出错");
        EXPECT_EQ(boxes.shown[0].title, "警 告");
    }
}

TEST(SettingsBatch, CommitsEveryValueAsOneChangeWithTheRulesOfOne) {
    FakeProfile profile;
    FakeBoxes boxes;
    SettingsBatch batch({profile, boxes}, kFile);
    batch.add("naoling", "0sj", "7:00:00");
    batch.add("naoling", "0ts", "  ");
    EXPECT_TRUE(profile.writes.empty()) << "nothing reaches the file before the commit";
    EXPECT_TRUE(batch.commit());
    EXPECT_EQ(profile.writes, (std::vector<std::string>{"naoling/0sj=7:00:00", "naoling/0ts= "}));
    EXPECT_EQ(profile.changes, 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(SettingsBatch, AnEmptyNameRefusesTheWholeBatchWithOneBox) {
    const struct { const char* name; std::string_view file; bool fail_store; } cases[] = {
        {"empty key", kFile, false}, {"empty path", " ", false}, {"store error", kFile, true},
    };
    for (const auto& c : cases) {
        FakeProfile profile;
        FakeBoxes boxes;
        profile.fail_writes = c.fail_store;
        SettingsBatch batch({profile, boxes}, c.file);
        batch.add("naoling", "0sj", "7:00:00");
        batch.add("naoling", c.fail_store ? "0ts" : " ", "x");
        EXPECT_FALSE(batch.commit()) << c.name;
        EXPECT_TRUE(profile.writes.empty()) << c.name;
        ASSERT_EQ(boxes.shown.size(), 1u) << c.name;
        EXPECT_EQ(boxes.shown[0].text, "写入文件“" + std::string(c.file) + "”时出错") << c.name;
    }
}

TEST(write_setting, ReportsAnErrorOfThePlatformCall) {
    FakeProfile profile;
    FakeBoxes boxes;
    profile.fail_writes = true;
    EXPECT_FALSE(write_setting({profile, boxes}, "ToMin", "tomin", "0", kFile));
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST(CannotSave, AFolderTheSettingsCannotBeWrittenInIsToldOnceWithTheFileAndWhereToMoveIt) {
    for (const bool writable : {true, false}) {
        FakeFiles files;
        FakeBoxes boxes;
        files.read_only = !writable;
        EXPECT_EQ(tell_if_settings_cannot_be_saved(files, boxes, kFile), !writable);
        ASSERT_EQ(boxes.shown.size(), writable ? 0u : 1u) << "writable: " << writable;
        if (writable) continue;
        EXPECT_EQ(boxes.shown[0].title, "Tockly提示您");
        EXPECT_NE(boxes.shown[0].text.find(std::string(kFile)), std::string::npos) << "names the file";
        EXPECT_NE(boxes.shown[0].text.find("不能在这里保存设置"), std::string::npos);
        EXPECT_NE(boxes.shown[0].text.find("移到可以写入的地方"), std::string::npos) << "says where to move it";
        EXPECT_TRUE(files.files.empty()) << "asking writes nothing";
    }
}

TEST(Flags, OnlyExactZeroSwitchesOffAndOnlyExactOneSwitchesAutoCorrectionOn) {
    const struct { std::string_view stored; bool on, auto_on; } cases[] = {
        {"0", false, false}, {"1", true, true}, {"2", true, false}, {"yes", true, false},
        {" ", true, false},  {"", true, false}, {" 0", true, false}, {"1 ", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(flag_on(c.stored), c.on) << "[" << c.stored << "]";
        EXPECT_EQ(flag_on_only_for_one(c.stored), c.auto_on) << "[" << c.stored << "]";
    }
}

TEST(NumericValue, ReadsTheLeadingNumber) {
    const struct { std::string_view text; int value; } cases[] = {
        {"3", 3}, {" 10", 10}, {"12ab", 12}, {"abc", 0}, {"", 0}, {"-4", -4},
        {"+7", 7}, {"99999999999999999999", 32767}, {"\xff\xfe", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(numeric_value(c.text), c.value) << "[" << c.text << "]";
}

TEST(TrimSpaces, TrimsOnlyTheSpaceCharacter) {
    EXPECT_EQ(trim_spaces("  a b  "), "a b");
    EXPECT_EQ(trim_spaces("\ta\t"), "\ta\t");
    EXPECT_EQ(trim_spaces("   "), "");
}

}  // namespace
}  // namespace tockly
