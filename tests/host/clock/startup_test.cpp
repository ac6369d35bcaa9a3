#include <gtest/gtest.h>

#include <algorithm>

#include "tests/host/clock/fakes.h"
#include "clock/model/startup.h"

namespace tockly {
namespace {

using namespace test;

constexpr std::string_view kFolder = "C:\\Program Files\\Tockly";
constexpr std::string_view kDir = "C:\\Tockly\\";
const std::string kIni = std::string(kDir) + "Software_information.ini";

struct Rig : StartupFakes {
    ScreenMetrics screen;

    Rig() { files.files[kIni] = "[mts]\r\n"; }
    void set(std::string_view section, std::string_view key, std::string value) {
        profile.set(kIni, section, key, std::move(value));
    }
    StartupResult load(std::string_view folder = kDir) {
        return load_clock(ports(screen), folder);
    }
};

TEST(Startup, FirstRunShowsTheMessageAndRunsOnDefaults) {
    Rig rig;
    rig.files.files.clear();
    const auto r = rig.load();
    EXPECT_TRUE(r.first_run);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text,
              "您是第一次使用本软件，软件打开后、您可以“右键点击”钟面打开一个菜单");
    EXPECT_EQ(rig.boxes.shown[0].title, "Tockly提示您");
    EXPECT_EQ(rig.boxes.shown[0].icon, MessageIcon::information);
    const MenuChecks c = r.checks;
    EXPECT_TRUE(c.ticking && c.hour_chime && c.half_hour_chime && c.time_guard && c.show_year_month &&
                c.show_day && c.show_time && c.show_weekday);
    EXPECT_EQ(r.globals.ticking_sound, "fatiao3.wav");
    EXPECT_EQ(r.globals.alarm_count, 0);
    EXPECT_EQ(r.globals.shutdown_time, "");
    EXPECT_EQ(r.globals.start_time, "");
    EXPECT_EQ(r.globals.skin_path, "");
    ASSERT_EQ(rig.window.skins_loaded.size(), 1u);
    EXPECT_EQ(rig.window.skins_loaded[0], rig.files.temp + "temp.gif");
    EXPECT_EQ(rig.files.files[rig.files.temp + "temp.gif"], "bytes of gif 201");
    EXPECT_TRUE(rig.window.visible);
    EXPECT_EQ(rig.files.atomic_replacements, 0) << "no file is created on the first run";
}

TEST(Startup, ASettingsFileInOtherLetterCaseCountsAsMissing) {
    Rig rig;
    rig.files.files.clear();
    rig.files.files[std::string(kDir) + "software_information.INI"] = "\r\n[a]\r\n";
    EXPECT_TRUE(rig.load().first_run);
    EXPECT_EQ(rig.files.files[std::string(kDir) + "software_information.INI"], "\r\n[a]\r\n");
}

TEST(Startup, AnExistingFileIsTidiedAndNoMessageShown) {
    Rig rig;
    rig.files.files[kIni] = "\r\n [mts] \r\n";
    EXPECT_FALSE(rig.load().first_run);
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_EQ(rig.files.files[kIni], "[mts]\r\n");
}

TEST(Startup, ProgramFolderEndsInOneBackslash) {
    const struct { std::string_view folder, expected; } cases[] = {
        {"C:\\Tockly", "C:\\Tockly\\"},
        {"C:\\", "C:\\"},
        {kFolder, "C:\\Program Files\\Tockly\\"},
    };
    for (const auto& c : cases) {
        Rig rig;
        EXPECT_EQ(rig.load(c.folder).globals.program_folder, c.expected) << c.folder;
    }
}

TEST(Startup, TheStartUpNoticeNamesASoundThatCannotPlay) {
    const std::string ticking = "Voice\\Mati\\fatiao3.wav", hour = "Voice\\ZhengDian\\正点.wav",
                      half = "Voice\\ZhengDian\\半点.wav", ring = "Voice\\NaoLing\\起床 铃.mp3";
    const RecordingNotices::Shown started{100, 1000, 300, "Tockly打开成功"};
    const struct {
        const char* name;
        std::string folder;
        std::vector<std::string> missing;
        std::string settings;
        RecordingNotices::Shown notice;
    } cases[] = {
        {"every sound there", "C:\\Tockly\\", {}, "", started},
        {"a folder with a space", "C:\\Program Files\\Tockly\\", {}, "", started},
        {"Chinese, a space and a letter outside GBK", "D:\\绿色 软件\\Tockly ñ\\", {}, "", started},
        {"the ticking sound missing", "C:\\Tockly\\", {ticking}, "",
         {100, 5000, 300, "Tockly找不到声音文件“Voice\\Mati\\fatiao3.wav”，不会响。"}},
        {"missing but switched off", "C:\\Tockly\\", {ticking, half},
         "[mts]\nmatisheng0=0\n[zdtx]\nBanDian0=0\n", started},
        {"an alarm's sound missing, and a chime", "C:\\Tockly\\", {ring, hour},
         "[naoling]\nNaoLingShu0=1\n0sj=7:00:00\n0ls=起床 铃.mp3\n",
         {100, 5000, 300, "Tockly找不到声音文件“Voice\\ZhengDian\\正点.wav”等2个，不会响。"}},
    };
    for (const auto& c : cases) {
        Rig rig;
        const std::string ini = c.folder + "Software_information.ini";
        rig.files.files[ini] = "";
        for (const auto& sound : {ticking, hour, half, ring})
            if (std::find(c.missing.begin(), c.missing.end(), sound) == c.missing.end()) rig.files.files[c.folder + sound] = "x";
        std::string section;
        for (std::size_t at = 0, end; at < c.settings.size(); at = end + 1) {
            end = c.settings.find('\n', at);
            const std::string line = c.settings.substr(at, end - at);
            if (line[0] == '[') section = line.substr(1, line.size() - 2);
            else rig.profile.set(ini, section, line.substr(0, line.find('=')), line.substr(line.find('=') + 1));
        }
        rig.load(c.folder);
        ASSERT_EQ(rig.notices.shown.size(), 1u) << c.name;
        EXPECT_EQ(rig.notices.shown[0], c.notice) << c.name;
    }
}

TEST(Startup, PlacesTheWindowInTheTopRightCorner) {
    Rig rig;
    rig.screen.width_twips = 15360;  // 1024 pixels
    rig.load();
    EXPECT_EQ(rig.window.width, 3120);
    EXPECT_EQ(rig.window.height, 3405);
    EXPECT_EQ(rig.window.left, 12290);
    EXPECT_EQ(rig.window.top, -350);
}

TEST(Startup, RunsItsWindowStepsInOrder) {
    Rig rig;
    rig.set("ToMin", "tomin", "0");
    rig.load();
    const std::vector<std::string> expected = {
        "size", "caption", "region", "move", "topmost", "label", "label", "label", "label",
        "skin", "layered", "notice", "tray+", "hide"};
    EXPECT_EQ(rig.window.calls, expected);
}

TEST(Startup, TogglesAreOnUnlessExactlyZero) {
    const struct { std::string stored; bool on; } cases[] = {
        {"0", false}, {"1", true}, {"2", true}, {"yes", true}, {" ", true}, {" 0", true},
    };
    for (const auto& c : cases) {
        Rig rig;
        for (auto key : {"matisheng0"}) rig.set("mts", key, c.stored);
        rig.set("zdtx", "zhengdian0", c.stored);
        rig.set("zdtx", "BanDian0", c.stored);
        for (auto key : {"XS_NianYue0", "XS_RiQi0", "XS_ShiJian0", "XS_XingQi0"}) rig.set("XianShi", key, c.stored);
        const auto r = rig.load();
        const MenuChecks m = r.checks;
        for (bool v : {m.ticking, m.hour_chime, m.half_hour_chime, m.show_year_month, m.show_day, m.show_time, m.show_weekday})
            EXPECT_EQ(v, c.on) << "[" << c.stored << "]";
        for (auto label : {FaceLabel::time, FaceLabel::weekday, FaceLabel::year_month,
                           FaceLabel::day})
            EXPECT_EQ(rig.window.labels[label], c.on) << "[" << c.stored << "]";
    }
}

TEST(Startup, EachDisplayToggleHidesItsOwnLabel) {
    const struct { const char* key; FaceLabel label; bool MenuChecks::*check; } cases[] = {
        {"XS_NianYue0", FaceLabel::year_month, &MenuChecks::show_year_month},
        {"XS_RiQi0", FaceLabel::day, &MenuChecks::show_day},
        {"XS_ShiJian0", FaceLabel::time, &MenuChecks::show_time},
        {"XS_XingQi0", FaceLabel::weekday, &MenuChecks::show_weekday},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.set("xianshi", c.key, "0");
        const auto r = rig.load();
        EXPECT_FALSE(r.checks.*c.check) << c.key;
        int hidden = 0;
        for (const auto& [label, visible] : rig.window.labels) hidden += !visible;
        EXPECT_EQ(hidden, 1) << c.key;
        EXPECT_FALSE(rig.window.labels[c.label]) << c.key;
    }
}

TEST(Startup, TimeGuardIsOffOnlyForATrimmedZero) {
    const struct { std::string stored; bool on; } cases[] = {{"0", false}, {" 0 ", false}, {"1", true}, {"", true}};
    for (const auto& c : cases) {
        Rig rig;
        rig.set("jianhu", "shijianJH", c.stored);
        EXPECT_EQ(rig.load().checks.time_guard, c.on) << "[" << c.stored << "]";
    }
}

TEST(Startup, ShutdownTimeIsNormalisedAndUnreadableTimesAreNone) {
    const struct { std::string stored, expected; } cases[] = {
        {" 22.30 ", "22:30:00"}, {"7:05:09", "7:05:09"}, {"25:00", ""}, {"garbage", ""}, {" ", ""},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.set("GuanJi", "GjShiJian", c.stored);
        EXPECT_EQ(rig.load().globals.shutdown_time, c.expected) << "[" << c.stored << "]";
    }
}

TEST(Startup, SkinChoices) {
    const struct { std::string stored; bool file_exists; std::string path; std::string loaded; } cases[] = {
        {"默认皮肤3", true, "C:\\Users\\me\\Temp\\temp.gif", "bytes of gif 203"},
        {"默认皮肤1", true, "C:\\Users\\me\\Temp\\temp.gif", "bytes of gif 201"},
        {"my.gif", true, "C:\\Tockly\\Voice\\pifu\\my.gif", "mine"},
        {"gone.gif", false, "C:\\Tockly\\Voice\\pifu\\gone.gif", ""},
        {"默认皮肤5", false, "C:\\Tockly\\Voice\\pifu\\默认皮肤5", ""},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.set("PiFu", "pifu0", " " + c.stored + " ");
        if (c.file_exists && c.loaded == "mine") rig.files.files[c.path] = "mine";
        const auto r = rig.load();
        EXPECT_EQ(r.globals.skin_path, c.path) << c.stored;
        if (c.loaded.empty()) {
            EXPECT_TRUE(rig.window.skins_loaded.empty()) << c.stored << ": keeps the built-in face";
        } else {
            ASSERT_EQ(rig.window.skins_loaded.size(), 1u) << c.stored;
            EXPECT_EQ(rig.window.skins_loaded[0], c.path);
            EXPECT_EQ(rig.files.files[c.path], c.loaded);
        }
    }
}

TEST(Startup, ASkinThatIsNotAPictureKeepsTheBuiltInFaceAndStartUpGoesOn) {
    Rig rig;
    rig.set("PiFu", "pifu0", "broken.gif");
    rig.files.files["C:\\Tockly\\Voice\\pifu\\broken.gif"] = "not a picture";
    rig.window.skin_loads = false;
    const auto r = rig.load();
    EXPECT_TRUE(rig.window.visible);
    EXPECT_EQ(r.globals.skin_path, "C:\\Tockly\\Voice\\pifu\\broken.gif");
}

TEST(Startup, AlarmRowsReadUpToTheCountAndAtMostTen) {
    const struct { std::string count; int rows; } cases[] = {
        {"3", 3}, {"0", 0}, {"", 0}, {"abc", 0}, {"-2", 0}, {"12", 10}, {"99999", 10}, {"10", 10},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.set("naoling", "NaoLingShu0", c.count);
        for (int i = 0; i < 12; ++i) {
            rig.set("naoling", std::to_string(i) + "sj", " " + std::to_string(i) + ":00:00 ");
            rig.set("naoling", std::to_string(i) + "ls", "ring" + std::to_string(i) + ".mp3");
            rig.set("naoling", std::to_string(i) + "ts", " note " + std::to_string(i));
        }
        const auto r = rig.load();
        EXPECT_EQ(r.globals.alarm_count, c.rows) << "[" << c.count << "]";
        for (int i = 0; i < 10; ++i) {
            const auto& row = r.globals.alarms[i];
            if (i < c.rows) {
                EXPECT_EQ(row.time, std::to_string(i) + ":00:00");
                EXPECT_EQ(row.sound, "ring" + std::to_string(i) + ".mp3");
                EXPECT_EQ(row.notice, "note " + std::to_string(i));
            } else {
                EXPECT_EQ(row.time, "") << "row " << i << " of count [" << c.count << "]";
            }
        }
    }
}

TEST(Startup, TickingSoundScheduledStartAndTray) {
    Rig rig;
    rig.set("mts", "fatiaosheng0", " wood.wav ");
    rig.set("QiDong", "QDShiJian", " 9:00:00 ");
    rig.set("QiDong", "QDneirong", " C:\\Windows\\notepad.exe ");
    rig.set("ToMin", "tomin", "1");
    const auto r = rig.load();
    EXPECT_EQ(r.globals.ticking_sound, "wood.wav");
    EXPECT_EQ(r.globals.start_time, "9:00:00");
    EXPECT_EQ(r.globals.start_target, "C:\\Windows\\notepad.exe");
    EXPECT_FALSE(r.start_in_tray);
    EXPECT_TRUE(rig.window.visible);
    EXPECT_FALSE(rig.window.tray);

    Rig tray;
    tray.set("ToMin", "tomin", "0");
    EXPECT_TRUE(tray.load().start_in_tray);
    EXPECT_FALSE(tray.window.visible);
    EXPECT_TRUE(tray.window.tray);
    EXPECT_EQ(tray.window.tray_tooltip, "Tockly");
}

TEST(Startup, AnUnreadableSettingsFileStillStarts) {
    Rig rig;
    rig.profile.fail_reads = true;
    const auto r = rig.load();
    EXPECT_TRUE(rig.window.visible);
    EXPECT_EQ(r.globals.ticking_sound, "fatiao3.wav");
    EXPECT_FALSE(rig.boxes.shown.empty()) << "each failed read is reported";
}

}  // namespace
}  // namespace tockly

namespace tockly {
namespace {

// A Run key that holds "NaoZhong" in one hive, or in none.
class RunKeyRegistry : public RegistryPort {
public:
    std::optional<RegistryHive> holder;
    RegistryKey open(RegistryHive hive, std::string_view, std::uint32_t, bool) override {
        return static_cast<RegistryKey>(static_cast<std::uint32_t>(hive));
    }
    long set(RegistryKey, std::string_view, std::uint32_t, std::string_view) override { return 0; }
    RegistryQuery query(RegistryKey key, std::string_view name) override {
        if (holder && key == static_cast<RegistryKey>(static_cast<std::uint32_t>(*holder)) && name == "NaoZhong")
            return {0, reg_sz, std::string("C:\\Tockly\\Tockly.exe\0", 21)};
        return {2, 0, {}};
    }
    long remove(RegistryKey, std::string_view) override { return 0; }
    void close(RegistryKey) override {}
};

class PlainCodec : public AnsiCodec {
public:
    std::string to_ansi(std::string_view s) override { return std::string(s); }
    std::string from_ansi(std::string_view s) override { return std::string(s); }
};

TEST(Startup, StartWithWindowsMarkComesFromEitherRunKey) {
    const struct { const char* name; std::optional<RegistryHive> holder; bool with_registry; bool on; } cases[] = {
        {"value absent", std::nullopt, true, false},
        {"machine-wide value", RegistryHive::local_machine, true, true},
        {"the user's own value", RegistryHive::current_user, true, true},
        {"no registry at all", RegistryHive::local_machine, false, false},
    };
    for (const auto& c : cases) {
        test::StartupFakes fakes;
        RunKeyRegistry registry;
        registry.holder = c.holder;
        PlainCodec codec;
        RegistryAccess access{registry, codec};
        StartupPorts ports = fakes.ports(ScreenMetrics{});
        ports.registry = c.with_registry ? &access : nullptr;
        const auto r = load_clock(ports, "C:\\Tockly\\");
        EXPECT_EQ(r.checks.start_with_windows, c.on) << c.name;
    }
}

}  // namespace
}  // namespace tockly
