// The settings dialog's load step, its alarm rows, the two time boxes that
// save themselves, the Enter walk and the save button.
#include <gtest/gtest.h>

#include "tests/host/clock/alarm_dialog_fakes.h"

namespace tockly {
namespace {

using namespace test;

using Req = AlarmDialogRequest;

TEST(AlarmDialogLoad, AFreshDialogOpensRowZeroAndListsTheVoiceFolders) {
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    EXPECT_EQ(row_states(f), "oxxxxxxxxx");
    const std::vector<std::string> rings = {"Alarm_bell.MP3", "alarm_chirp.mp3"};
    for (int i = 0; i < alarm_dialog_design::row_count; ++i) {
        EXPECT_EQ(f.list(C1(i)), rings) << "row " << i;
        EXPECT_EQ(f.text(T1(i)), "") << "row " << i;
        EXPECT_EQ(f.text(C1(i)), "") << "row " << i;
    }
    EXPECT_EQ(f.list(C1(10)), (std::vector<std::string>{"fatiao3.wav", "tick_wood.wav"}));
    EXPECT_EQ(f.list(kCombo2), (std::vector<std::string>{"默认皮肤1", "默认皮肤2", "默认皮肤3", "默认皮肤4",
                                                        "hong.GIF", "lanse.gif"}));
    // No stored ticking sound or skin: both boxes end up empty.
    EXPECT_EQ(f.text(C1(10)), "");
    EXPECT_EQ(f.text(kCombo2), "");
    EXPECT_EQ(f.message(), "不需要的项目请删除保留为空即可");
    EXPECT_TRUE(rig.profile.writes.empty()) << "loading writes nothing";
}

TEST(AlarmDialogLoad, MissingVoiceFoldersShowEmptyListsAndTheDialogStillOpens) {
    AlarmDialogRig rig;
    rig.folders.folders.clear();
    rig.store_row(0, "7:00:00", "gone.mp3", "起床");
    AlarmDialog f = rig.loaded();
    EXPECT_TRUE(f.list(C1(0)).empty());
    EXPECT_TRUE(f.list(C1(10)).empty());
    EXPECT_EQ(f.list(kCombo2).size(), 4u) << "only the four built-in skins";
    EXPECT_EQ(f.text(C1(0)), "gone.mp3") << "a stored name shows even when its file is gone";
    EXPECT_EQ(row_states(f), "ooxxxxxxxx");
}

TEST(AlarmDialogLoad, ReadsStoredRowsUpToTheFirstBlankTime) {
    AlarmDialogRig rig;
    rig.set("naoling", "NaoLingShu0", "5");  // not consulted
    rig.store_row(0, " 7:00:00 ", "alarm_bell.mp3", " 起床 ");
    rig.store_row(1, "12:30:00", "", "午饭");
    rig.store_row(2, " ", "alarm_chirp.mp3", "lost");
    rig.store_row(3, "18:00:00", "x.mp3", "never read");
    rig.set("mts", "fatiaosheng0", " tick_wood.wav ");
    rig.set("PiFu", "pifu0", "默认皮肤3");
    rig.set("QiDong", "QDShiJian", "6:00:00");
    rig.set("QiDong", "QDneirong", "C:\\Tools\\backup.exe");
    rig.globals.shutdown_time = "23:00:00";
    rig.globals.alarms[3] = {"18:00:00", "kept.mp3", "kept"};
    AlarmDialog f = rig.loaded();

    const struct { int row; const char *time, *sound, *notice; } rows[] = {
        {0, "7:00:00", "alarm_bell.mp3", "起床"},
        {1, "12:30:00", "", "午饭"},
        {2, "", "", ""},
        {3, "", "", ""},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(f.text(T1(r.row)), r.time) << "row " << r.row;
        EXPECT_EQ(f.text(C1(r.row)), r.sound) << "row " << r.row;
        EXPECT_EQ(f.text(T2(r.row)), r.notice) << "row " << r.row;
    }
    EXPECT_EQ(row_states(f), "oooxxxxxxx");
    EXPECT_EQ(rig.globals.alarms[0].notice, "起床");
    EXPECT_EQ(rig.globals.alarms[1].time, "12:30:00");
    EXPECT_EQ(rig.globals.alarms[3].sound, "kept.mp3") << "rows not read stay as they were";
    EXPECT_EQ(f.text(C1(10)), "tick_wood.wav");
    EXPECT_EQ(f.text(kCombo2), "默认皮肤3");
    EXPECT_EQ(f.text(kText3), "23:00:00") << "the clock's own shutdown time, not the file's";
    EXPECT_EQ(f.text(kText4), "6:00:00");
    EXPECT_EQ(f.text(kText5), "C:\\Tools\\backup.exe");
    EXPECT_EQ(rig.globals.start_time, "6:00:00");
    EXPECT_EQ(rig.globals.start_target, "C:\\Tools\\backup.exe");
}

TEST(AlarmDialogLoad, AStoredTimeThatIsNoTimeOpensItsRowAndEmptiesTheRowsBelow) {
    AlarmDialogRig rig;
    rig.store_row(0, "7:00:00", "a.mp3", "one");
    rig.store_row(1, "25:00", "b.mp3", "two");
    rig.store_row(2, "9:00:00", "c.mp3", "three");
    AlarmDialog f = rig.loaded();
    EXPECT_EQ(row_states(f), "ooxxxxxxxx");
    EXPECT_EQ(f.text(T1(1)), "25:00");
    EXPECT_EQ(f.text(T1(2)), "");
    EXPECT_EQ(f.text(C1(2)), "");
    EXPECT_EQ(f.text(T2(2)), "");
    EXPECT_EQ(rig.stored("naoling", "2sj"), "9:00:00") << "nothing stored is touched by loading";
}

TEST(AlarmDialogRows, TypingAndDeletingTheTimeOfRowZero) {
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    f.edited(T1(0), "7");
    EXPECT_EQ(row_states(f), "oxxxxxxxxx") << "7 alone is no time yet";
    f.edited(T1(0), "7:30");
    EXPECT_EQ(row_states(f), "ooxxxxxxxx");
    EXPECT_EQ(f.text(T1(1)), "");
    f.edited(T1(1), "8:00");
    f.edited(T2(1), "早饭");
    EXPECT_EQ(row_states(f), "oooxxxxxxx");
    f.edited(T1(0), "");
    EXPECT_EQ(row_states(f), "oxxxxxxxxx");
    EXPECT_EQ(f.text(T1(1)), "8:00") << "locking keeps the texts";
    EXPECT_EQ(f.text(T2(1)), "早饭");
    EXPECT_FALSE(f.enabled(T1(1)));
    EXPECT_FALSE(f.enabled(C1(1)));
    EXPECT_FALSE(f.enabled(T2(1)));
    EXPECT_TRUE(f.enabled(C1(10))) << "the ticking box is in no row";
    // Valid again: only the next row opens; row 2 waits for row 1 to be edited or left.
    f.edited(T1(0), "7:30");
    EXPECT_EQ(row_states(f), "ooxxxxxxxx");
    f.time_box_lost_focus(1);
    EXPECT_EQ(row_states(f), "oooxxxxxxx");
}

TEST(AlarmDialogRows, LeavingATimeBoxRewritesItAndDefaultsTheNotice) {
    const struct {
        const char* name;
        TimeFormat format;
        const char *typed, *notice_before, *time_after, *notice_after;
    } cases[] = {
        {"point", {}, "8.30", "", "8:30:00", "8:30:00"},
        {"colon", {}, "19:05", "", "19:05:00", "19:05:00"},
        {"seconds", {}, "6:07:08", "", "6:07:08", "6:07:08"},
        {"full-width colon", {}, "7：30", "", "7:30:00", "7:30:00"},
        {"spaces around", {}, " 9:00 ", "", "9:00:00", "9:00:00"},
        {"notice kept", {}, "8.30", "上班", "8:30:00", "上班"},
        {"12-hour region", {"tt h:mm:ss", "上午", "下午"}, "20.15", "", "下午 8:15:00", "下午 8:15:00"},
        {"two-digit hours", {"HH:mm:ss", "AM", "PM"}, "8.30", "", "08:30:00", "08:30:00"},
    };
    for (const auto& c : cases) {
        AlarmDialogRig rig;
        rig.format = c.format;
        AlarmDialog f = rig.loaded();
        f.edited(T1(0), "1:00");
        f.edited(T1(1), "2:00");
        f.edited(T1(2), c.typed);
        f.edited(T2(2), c.notice_before);
        f.time_box_lost_focus(2);
        EXPECT_EQ(f.text(T1(2)), c.time_after) << c.name;
        EXPECT_EQ(f.text(T2(2)), c.notice_after) << c.name;
        EXPECT_EQ(row_states(f), "ooooxxxxxx") << c.name;
        EXPECT_TRUE(f.take_requests().empty()) << c.name << ": the focus moves on";
        EXPECT_EQ(f.message(), alarm_dialog_design::first_message) << c.name;
    }
}

TEST(AlarmDialogRows, ABadTimeHoldsTheFocusWithAMessage) {
    const struct { const char *name; std::string typed; } cases[] = {
        {"hour 25", "25:00"},
        {"minute 60", "7:60"},
        {"second 61", "12:30:61"},
        {"letters", "abc"},
        {"letters after a time", "7:30x"},
        {"one number", "730"},
        {"only spaces", "   "},
        {"ten thousand characters", std::string(10000, '7')},
        {"ten thousand after a time", "7:30" + std::string(10000, ' ') + "x"},
    };
    for (const auto& c : cases) {
        AlarmDialogRig rig;
        AlarmDialog f = rig.loaded();
        f.edited(T1(0), c.typed);
        f.take_requests();
        f.time_box_lost_focus(0);
        EXPECT_EQ(f.message(), "您输入的时间有问题！") << c.name;
        EXPECT_EQ(f.text(T1(0)), c.typed) << c.name << ": left as typed";
        EXPECT_EQ(f.text(T2(0)), "") << c.name << ": no notice defaulted";
        EXPECT_EQ(f.take_requests(), (std::vector<Req>{{Req::select_all, T1(0)}, {Req::focus, T1(0)}})) << c.name;
        EXPECT_EQ(row_states(f), "oxxxxxxxxx") << c.name;
    }
}

TEST(AlarmDialogRows, AnEmptyTimeBoxIsLeftQuietly) {
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    f.time_box_lost_focus(0);
    EXPECT_EQ(f.message(), alarm_dialog_design::first_message);
    EXPECT_TRUE(f.take_requests().empty());
    EXPECT_EQ(f.text(T2(0)), "");
}

TEST(AlarmDialogRows, TheTenthRowIsNeitherCheckedNorRewritten) {
    AlarmDialogRig rig;
    for (int i = 0; i < 9; ++i) rig.store_row(i, std::to_string(i + 1) + ":00:00", "", "n");
    AlarmDialog f = rig.loaded();
    EXPECT_EQ(row_states(f), "oooooooooo");
    for (const char* typed : {"25:00", "8.30", "abc"}) {
        f.edited(T1(9), typed);
        f.time_box_lost_focus(9);
        EXPECT_EQ(f.text(T1(9)), typed);
        EXPECT_EQ(f.text(T2(9)), "");
        EXPECT_EQ(f.message(), alarm_dialog_design::first_message) << typed;
        EXPECT_TRUE(f.take_requests().empty()) << typed;
    }
}

TEST(AlarmDialogRows, GettingTheFocusSelectsTheWholeText) {
    const struct { Box box; bool selects; } cases[] = {
        {T1(0), true}, {T1(9), true}, {T2(4), true}, {kText3, true}, {kText4, true},
        {kText5, false}, {C1(2), false}, {kCombo2, false},
    };
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    for (const auto& c : cases) {
        f.got_focus(c.box);
        const auto got = f.take_requests();
        const std::vector<Req> expected =
            c.selects ? std::vector<Req>{{Req::select_all, c.box}} : std::vector<Req>{};
        EXPECT_EQ(got, expected) << "control " << static_cast<int>(c.box.control) << "(" << c.box.index << ")";
    }
}

TEST(AlarmDialogRows, TheEnterWalk) {
    AlarmDialogRig rig;
    rig.store_row(0, "1:00:00", "", "");
    rig.store_row(1, "2:00:00", "", "");
    rig.store_row(2, "3:00:00", "", "");
    rig.store_row(3, "4:00:00", "", "");
    AlarmDialog f = rig.make();
    f.load();  // rows 0..4 open
    const struct { const char* name; Box from; std::optional<Box> to; } cases[] = {
        {"time to sound", T1(3), C1(3)},
        {"sound to notice", C1(3), T2(3)},
        {"notice to the open row below", T2(3), T1(4)},
        {"notice above a locked row goes to the top", T2(4), T1(0)},
        {"last row's notice goes to the top", T2(9), T1(0)},
        {"tenth time box", T1(9), C1(9)},
        {"ticking box to the shutdown time", C1(10), kText3},
        {"start time to the program", kText4, kText5},
        {"shutdown time keeps the key", kText3, std::nullopt},
        {"program box keeps the key", kText5, std::nullopt},
        {"skin box keeps the key", kCombo2, std::nullopt},
    };
    for (const auto& c : cases) {
        int key = 13;
        f.key_press(c.from, key);
        const auto got = f.take_requests();
        if (c.to) {
            EXPECT_EQ(key, 0) << c.name << ": Enter is consumed";
            EXPECT_EQ(got, (std::vector<Req>{{Req::focus, *c.to}})) << c.name;
        } else {
            EXPECT_EQ(key, 13) << c.name;
            EXPECT_TRUE(got.empty()) << c.name;
        }
        int other = 'a';
        f.key_press(c.from, other);
        EXPECT_EQ(other, 'a') << c.name << ": other keys pass";
        EXPECT_TRUE(f.take_requests().empty()) << c.name;
    }
}

TEST(AlarmDialogTimeBoxes, TheShutdownAndStartTimesSaveThemselvesOnLeaving) {
    struct Which { const char* name; Box box; const char *section, *key; std::string ClockGlobals::*global; };
    const Which boxes[] = {
        {"shutdown", kText3, "GuanJi", "GjShiJian", &ClockGlobals::shutdown_time},
        {"start", kText4, "QiDong", "QDShiJian", &ClockGlobals::start_time},
    };
    const struct { const char* name; const char *typed, *shown, *stored, *global; bool held; } cases[] = {
        {"a time", "23.5", "23:05:00", "23:05:00", "23:05:00", false},
        {"emptied", "", "", " ", "", false},
        {"hour 25", "25:00", "25:00", nullptr, "22:00:00", true},
        {"letters", "jetzt", "jetzt", nullptr, "22:00:00", true},
    };
    for (const auto& b : boxes) {
        for (const auto& c : cases) {
            AlarmDialogRig rig;
            rig.globals.*b.global = "22:00:00";
            rig.set(b.section, b.key, "22:00:00");
            AlarmDialog f = rig.loaded();
            f.take_requests();
            f.edited(b.box, c.typed);
            if (b.box == kText3) f.shutdown_box_lost_focus(); else f.start_time_box_lost_focus();
            const std::string id = std::string(b.name) + " / " + c.name;
            EXPECT_EQ(f.text(b.box), c.shown) << id;
            EXPECT_EQ(rig.stored(b.section, b.key), c.stored ? c.stored : "22:00:00") << id;
            EXPECT_EQ(rig.globals.*b.global, c.global) << id;
            EXPECT_EQ(f.message(), c.held ? alarm_dialog_design::bad_time_message : alarm_dialog_design::first_message) << id;
            EXPECT_EQ(f.take_requests().size(), c.held ? 2u : 0u) << id;
        }
    }
}

// The texts of the forty row keys after a save, "-" for a key never written.
std::vector<std::string> row_keys(AlarmDialogRig& rig) {
    std::vector<std::string> out;
    for (int i = 0; i < 10; ++i)
        for (const char* k : {"sj", "ls", "ts", "cf"}) {
            const std::string key = std::to_string(i) + k;
            out.push_back(rig.has("naoling", key) ? rig.stored("naoling", key) : "-");
        }
    return out;
}

TEST(AlarmDialogSave, ThreeRowsWithAGapStoreThreeBlankTheRestAndSayWhatWasDropped) {
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    f.edited(T1(0), " 7:00:00 ");
    f.edited(C1(0), " alarm_bell.mp3 ");
    f.edited(T2(0), " 起床 ");
    f.edited(T1(1), "8:00:00");
    f.edited(T1(2), "9:00:00");
    f.edited(T2(2), "开会");
    f.edited(T1(3), "10:00:00");
    f.edited(T1(4), "11:00:00");
    f.edited(T1(5), "12:00:00");
    f.edited(T2(4), "午饭");
    f.edited(T1(3), "");  // row 3 emptied: rows 4 and 5 still hold times
    f.save();

    EXPECT_EQ(rig.stored("naoling", "NaoLingShu0"), "3");
    std::vector<std::string> expected = {"7:00:00", "alarm_bell.mp3", "起床", "daily", "8:00:00", " ", " ", "daily",
                                         "9:00:00", " ", "开会", "daily"};
    expected.resize(40, " ");
    EXPECT_EQ(row_keys(rig), expected);
    EXPECT_EQ(f.message(), "数据修改完毕！但第4行时间为空，其下2个闹铃未保存");
    EXPECT_EQ(rig.globals.alarm_count, 3);
    EXPECT_EQ(rig.globals.alarms[0].time, "7:00:00");
    EXPECT_EQ(rig.globals.alarms[0].sound, "alarm_bell.mp3");
    EXPECT_EQ(rig.globals.alarms[0].notice, "起床");
    EXPECT_EQ(rig.globals.alarms[2].notice, "开会");
    for (int i = 3; i < 10; ++i) EXPECT_EQ(rig.globals.alarms[i].time, "") << "row " << i;
    EXPECT_EQ(f.text(T1(4)), "11:00:00") << "the dropped rows stay in the boxes";
    // The count first, then each row's time, ring, notice and repeat in that order.
    ASSERT_EQ(rig.profile.writes.size(), 41u);
    EXPECT_EQ(rig.profile.writes[0], "naoling/NaoLingShu0=3");
    EXPECT_EQ(rig.profile.writes[1], "naoling/0sj=7:00:00");
    EXPECT_EQ(rig.profile.writes[2], "naoling/0ls=alarm_bell.mp3");
    EXPECT_EQ(rig.profile.writes[3], "naoling/0ts=起床");
    EXPECT_EQ(rig.profile.writes[4], "naoling/0cf=daily");
    EXPECT_EQ(rig.profile.writes[40], "naoling/9cf= ");
}

TEST(AlarmDialogSave, HowManyRowsAndWhatTheMessageLineSays) {
    const struct { const char* name; std::vector<int> times; int count; const char* message; } cases[] = {
        {"nothing", {}, 0, "还没有输入任何闹铃定时时间"},
        {"one", {0}, 1, "数据修改完毕！"},
        {"ten", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 10, "数据修改完毕！"},
        {"nine, the last empty", {0, 1, 2, 3, 4, 5, 6, 7, 8}, 9, "数据修改完毕！"},
        {"row 0 empty, three below", {1, 2, 5}, 0, "第1行时间为空，其下3个闹铃未保存"},
        {"gap before the last", {0, 1, 2, 3, 4, 5, 6, 7, 9}, 8, "数据修改完毕！但第9行时间为空，其下1个闹铃未保存"},
    };
    for (const auto& c : cases) {
        AlarmDialogRig rig;
        rig.store_row(7, "stale", "stale.mp3", "stale");
        AlarmDialog f = rig.loaded();
        for (int row : c.times) f.edited(T1(row), std::to_string(row) + ":30:00");
        f.save();
        EXPECT_EQ(rig.stored("naoling", "NaoLingShu0"), std::to_string(c.count)) << c.name;
        EXPECT_EQ(rig.globals.alarm_count, c.count) << c.name;
        EXPECT_EQ(f.message(), c.message) << c.name;
        for (int i = 0; i < 10; ++i) {
            const std::string want = i < c.count ? std::to_string(i) + ":30:00" : " ";
            EXPECT_EQ(rig.stored("naoling", std::to_string(i) + "sj"), want) << c.name << " row " << i;
        }
        const std::size_t writes = 1 + 40;  // every row key once, in use or blank
        EXPECT_EQ(rig.profile.writes.size(), writes) << c.name;
        EXPECT_EQ(rig.profile.changes, 1) << c.name << ": the whole save is one change of the file";
    }
}

TEST(AlarmDialogSave, AStoredRowComesBackAfterTheNextLoad) {
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    const std::string long_notice(10000, 'n');
    f.edited(T1(0), "6:45:00");
    f.edited(T2(0), long_notice);
    f.save();
    AlarmDialog again = rig.make();
    again.load();
    EXPECT_EQ(again.text(T1(0)), "6:45:00");
    EXPECT_EQ(again.text(T2(0)), long_notice) << "the fake keeps it all; the platform cuts it to 254 bytes";
    EXPECT_EQ(row_states(again), "ooxxxxxxxx");
}

TEST(AlarmDialogSave, ASaveTheFileDoesNotTakeNeverSaysItWasSaved) {
    for (const int rows : {1, 10}) {
        AlarmDialogRig rig;
        AlarmDialog f = rig.loaded();
        for (int row = 0; row < rows; ++row) f.edited(T1(row), std::to_string(row) + ":30:00");
        rig.profile.fail_writes = true;
        f.save();
        EXPECT_EQ(f.message(), "闹铃没有保存：设置文件无法写入！") << rows << " rows";
        ASSERT_EQ(rig.boxes.shown.size(), 1u) << rows << " rows";
        EXPECT_EQ(rig.boxes.shown[0].text, "写入文件“" + std::string(kAlarmDialogIni) + "”时出错");
        EXPECT_FALSE(rig.has("naoling", "NaoLingShu0"));
    }
}

TEST(AlarmDialogRepeat, EachRowKeepsItsRuleAndAnUnreadableOneIsMarkedNotLost) {
    AlarmDialogRig rig;
    FakeClock clock;
    clock.set(8, 0, 0);  // Saturday 2026-05-09, lunar 三月廿三
    rig.store_row(0, "7:00:00", "a.mp3", "上班");
    rig.set("naoling", "0cf", "workday");
    rig.store_row(1, "8:00:00", "a.mp3", "旧文件");  // no 1cf: daily, as before
    rig.store_row(2, "9:00:00", "a.mp3", "坏");
    rig.set("naoling", "2cf", "fortnightly");
    rig.store_row(3, "10:00:00", "a.mp3", "中秋");
    rig.set("naoling", "3cf", "lunar:08-15");
    AlarmDialog f(AlarmDialogPorts{rig.profile, rig.boxes, rig.folders, rig.resources, rig.files, rig.face, rig.notice,
                                   rig.file_dialog, rig.format, &clock},
                  rig.globals);
    f.load();
    const Box R[] = {{Control::rule_box, 0}, {Control::rule_box, 1}, {Control::rule_box, 2},
                     {Control::rule_box, 3}, {Control::rule_box, 4}, {Control::rule_box, 9}};
    EXPECT_EQ(f.text(R[0]), "工作日");
    EXPECT_EQ(f.text(R[1]), "每天");
    EXPECT_EQ(f.text(R[2]), "fortnightly");
    EXPECT_EQ(f.text(R[3]), "农历八月十五");
    EXPECT_EQ(f.text(R[5]), "每天") << "a row never used shows 每天";
    EXPECT_FALSE(f.rule_readable(2));
    EXPECT_EQ(f.message().rfind("第3行的重复规则看不懂", 0), 0u) << f.message();
    EXPECT_EQ(f.list(R[0]), (std::vector<std::string>{"每天", "工作日", "休息日", "每周…", "仅一次…", "每年公历…", "每年农历…"}));

    // With no picker window, a choice that needs a day takes the picker's
    // first proposal: Monday to Friday, or today.
    const struct { const char* picked; const char* text; const char* message; } picks[] = {
        {"每周…", "每周一二三四五", "第5行：每周一二三四五，最近一次 2026-05-11"},
        {"仅一次…", "仅一次 2026-05-09", "第5行：仅一次 2026-05-09，最近一次 2026-05-09"},
        {"每年公历…", "公历5月9日", "第5行：每年公历5月9日，最近一次 2026-05-09"},
        {"每年农历…", "农历三月廿三", "第5行：每年农历三月廿三，最近一次 2026-05-09"},
        {"休息日", "休息日", "第5行：休息日，最近一次 2026-05-10"},  // 9 May is a make-up working day
    };
    f.edited(T1(4), "11:00:00");
    for (const auto& p : picks) {
        f.rule_picked(4, p.picked);
        EXPECT_EQ(f.text(R[4]), p.text) << p.picked;
        EXPECT_EQ(f.message(), p.message) << p.picked;
    }
    f.edited(R[4], "lunar:12-30");
    EXPECT_EQ(f.message(), "第5行：每年农历十二月卅十，最近一次 2027-02-05");
    f.edited(R[4], "lunar:13-01");
    EXPECT_EQ(f.message(), "第5行的重复规则看不懂，保存后按每天响铃：lunar: month 13 is not 1 .. 12");
    f.edited(R[4], "solar:10-01");

    f.save();
    EXPECT_EQ(f.message(), "数据修改完毕！第3行的重复规则看不懂，按每天响铃");
    const char* stored[] = {"workday", "daily", "fortnightly", "lunar:08-15", "solar:10-01"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(rig.stored("naoling", std::to_string(i) + "cf"), stored[i]) << "row " << i;
        EXPECT_EQ(rig.globals.alarms[static_cast<std::size_t>(i)].rule, stored[i]) << "row " << i;
    }
}

}  // namespace
}  // namespace tockly
