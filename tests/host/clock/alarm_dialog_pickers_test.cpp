// The settings dialog's pickers: the sound boxes with their renaming pass,
// the ticking sound, the skin, the program; the captions; the file lists.
#include <gtest/gtest.h>

#include "tests/host/clock/alarm_dialog_fakes.h"

namespace tockly {
namespace {

using namespace test;

const std::string kRings = "C:\\Tockly\\Voice\\NaoLing";
const std::string kTicks = "C:\\Tockly\\Voice\\Mati";

TEST(FileList, ShowsOneExtensionInNameOrder) {
    FakeFolders folders;
    folders.folders["D:\\v"] = {"b.mp3", "A.MP3", "c.mp3x", "d.wav", "mp3", "e.Mp3", "铃声.mp3", ".mp3", "a.mp3"};
    EXPECT_EQ(list_files(folders, "D:\\v", "mp3"),
              (std::vector<std::string>{".mp3", "A.MP3", "a.mp3", "b.mp3", "e.Mp3", "铃声.mp3"}));
    EXPECT_TRUE(list_files(folders, "D:\\missing", "mp3").empty());
}

TEST(FileList, TheRenamingPassTakesSpacesOutAndIgnoresRefusals) {
    FakeFolders folders;
    folders.folders["D:\\v"] = {"my song.mp3", "plain.mp3", " lead.mp3", "twin x.mp3", "twinx.mp3",
                                "locked one.mp3", "a b  c.mp3"};
    folders.locked_files.insert("D:\\v\\locked one.mp3");
    const auto listed = list_files(folders, "D:\\v", "mp3");
    const RenamePass pass = remove_spaces_from_names(folders, "D:\\v", listed);
    EXPECT_EQ(pass.renamed, 3);
    EXPECT_EQ(pass.refused, (std::vector<std::string>{"locked one.mp3", "twin x.mp3"}));
    EXPECT_EQ(list_files(folders, "D:\\v", "mp3"),
              (std::vector<std::string>{"abc.mp3", "lead.mp3", "locked one.mp3", "mysong.mp3", "plain.mp3",
                                        "twin x.mp3", "twinx.mp3"}));
    // Names without spaces are never handed to the system.
    for (const auto& [from, to] : folders.renames) EXPECT_NE(from.find(' '), std::string::npos) << from;
}

TEST(AlarmDialogSounds, PickingANameWithSpacesRenamesTheFolderAndReloads) {
    AlarmDialogRig rig;
    rig.folders.folders[kRings] = {"my song.mp3", "other tune.mp3", "bell.mp3"};
    rig.store_row(0, "7:00:00", "bell.mp3", "起床");
    rig.store_row(1, "8:00:00", "", "上班");
    rig.store_row(2, "9:00:00", "bell.mp3", "开会");
    AlarmDialog f = rig.loaded();
    f.edited(T2(0), "unsaved");
    f.sound_picked(2, "my song.mp3");

    EXPECT_EQ(rig.folders.folders[kRings], (std::vector<std::string>{"mysong.mp3", "othertune.mp3", "bell.mp3"}));
    EXPECT_EQ(f.list(C1(2)), (std::vector<std::string>{"bell.mp3", "mysong.mp3", "othertune.mp3"}));
    EXPECT_EQ(f.text(C1(2)), "bell.mp3") << "row 2 shows its saved sound again";
    EXPECT_EQ(f.text(T2(0)), "起床") << "rows are reloaded from the file";
    EXPECT_EQ(f.message(), alarm_dialog_design::first_message);
    EXPECT_TRUE(rig.profile.writes.empty()) << "a row's sound is saved only by the save button";
}

TEST(AlarmDialogSounds, ANameTheSystemWillNotRenameIsReported) {
    const struct { const char* name; std::vector<std::string> files; bool lock, read_only_folder; } cases[] = {
        {"space-free twin exists", {"wake up.mp3", "wakeup.mp3"}, false, false},
        {"file in use", {"wake up.mp3"}, true, false},
        {"read-only folder", {"wake up.mp3"}, false, true},
    };
    for (const auto& c : cases) {
        AlarmDialogRig rig;
        rig.folders.folders[kRings] = c.files;
        if (c.lock) rig.folders.locked_files.insert(kRings + "\\wake up.mp3");
        if (c.read_only_folder) rig.folders.read_only_folders.insert(kRings);
        AlarmDialog f = rig.loaded();
        f.sound_picked(0, "wake up.mp3");
        EXPECT_EQ(f.message(), "文件名“wake up.mp3”含空格，无法改名") << c.name;
        EXPECT_EQ(f.text(C1(0)), "") << c.name;
        EXPECT_EQ(rig.folders.folders[kRings], c.files) << c.name << ": nothing is lost on disk";
    }
}

TEST(AlarmDialogSounds, TheTickingBoxSavesAtOnceAndRenamesInItsOwnFolder) {
    AlarmDialogRig rig;
    rig.folders.folders[kTicks] = {"soft tick.wav", "fatiao3.wav"};
    rig.folders.folders[kRings] = {"ring one.mp3"};
    rig.globals.ticking_sound = "fatiao3.wav";
    AlarmDialog f = rig.loaded();

    f.sound_picked(10, "soft tick.wav");
    EXPECT_EQ(rig.folders.folders[kTicks], (std::vector<std::string>{"softtick.wav", "fatiao3.wav"}));
    EXPECT_EQ(rig.folders.folders[kRings], (std::vector<std::string>{"ring one.mp3"})) << "the ring folder is left alone";
    EXPECT_FALSE(rig.has("mts", "fatiaosheng0")) << "a renamed name is picked again first";
    EXPECT_EQ(rig.globals.ticking_sound, "fatiao3.wav");

    f.sound_picked(10, "softtick.wav");
    EXPECT_EQ(rig.stored("mts", "fatiaosheng0"), "softtick.wav");
    EXPECT_EQ(rig.globals.ticking_sound, "softtick.wav");
    EXPECT_EQ(f.text(C1(10)), "softtick.wav");
}

TEST(AlarmDialogSounds, ARowSoundWithoutSpacesOnlyChangesTheBox) {
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    f.sound_picked(3, "alarm_chirp.mp3");
    EXPECT_EQ(f.text(C1(3)), "alarm_chirp.mp3");
    EXPECT_TRUE(rig.profile.writes.empty());
    EXPECT_TRUE(rig.folders.renames.empty());
}

TEST(AlarmDialogSounds, ATypedNameWithSpacesIsSavedTrimmedWithoutRenaming) {
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    f.edited(T1(0), "7:00");
    f.edited(C1(0), "  my song.mp3 ");
    f.save();
    EXPECT_EQ(rig.stored("naoling", "0ls"), "my song.mp3");
    EXPECT_TRUE(rig.folders.renames.empty());
}

TEST(AlarmDialogSkin, PickingASkinStoresItAndChangesTheFaceAtOnce) {
    const struct { const char* name; std::string picked, stored, path; bool file_there, loaded; } cases[] = {
        {"built-in 3", "默认皮肤3", "默认皮肤3", "C:\\Users\\me\\Temp\\temp.gif", true, true},
        {"built-in 1, trimmed", " 默认皮肤1 ", "默认皮肤1", "C:\\Users\\me\\Temp\\temp.gif", true, true},
        {"Voice skin", "lanse.gif", "lanse.gif", "C:\\Tockly\\Voice\\pifu\\lanse.gif", true, true},
        {"missing file", "gone.gif", "gone.gif", "C:\\Tockly\\Voice\\pifu\\gone.gif", false, false},
    };
    for (const auto& c : cases) {
        AlarmDialogRig rig;
        rig.files.files["C:\\Tockly\\Voice\\pifu\\lanse.gif"] = "GIF89a";
        AlarmDialog f = rig.loaded();
        f.skin_picked(c.picked);
        EXPECT_EQ(rig.stored("PiFu", "pifu0"), c.stored) << c.name;
        EXPECT_EQ(rig.globals.skin_path, c.path) << c.name;
        EXPECT_EQ(rig.face.skins_loaded, c.loaded ? std::vector<std::string>{c.path} : std::vector<std::string>{})
            << c.name;
    }
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    f.skin_picked("默认皮肤3");
    EXPECT_EQ(rig.files.files["C:\\Users\\me\\Temp\\temp.gif"], "bytes of gif 203") << "resource 203 for skin 3";
}

TEST(AlarmDialogSkin, AFileThatIsNoPictureKeepsTheFaceButStaysChosen) {
    AlarmDialogRig rig;
    rig.files.files["C:\\Tockly\\Voice\\pifu\\broken.gif"] = "not a picture";
    rig.face.skin_loads = false;  // the window refuses what it cannot decode
    AlarmDialog f = rig.loaded();
    f.skin_picked("broken.gif");
    EXPECT_EQ(rig.face.calls, std::vector<std::string>{"skin"});
    EXPECT_TRUE(rig.face.skins_loaded.empty());
    EXPECT_EQ(rig.stored("PiFu", "pifu0"), "broken.gif");
}

TEST(AlarmDialogProgram, TheFileDialogChoosesOrClearsTheProgram) {
    const struct { const char* name; std::string answer, shown, stored, global; } cases[] = {
        {"chosen", "C:\\Tools\\backup.exe", "C:\\Tools\\backup.exe", "C:\\Tools\\backup.exe", "C:\\Tools\\backup.exe"},
        {"path with spaces", "C:\\Program Files\\a b.txt", "C:\\Program Files\\a b.txt", "C:\\Program Files\\a b.txt",
         "C:\\Program Files\\a b.txt"},
        {"cancelled", "", "", " ", ""},
    };
    for (const auto& c : cases) {
        AlarmDialogRig rig;
        rig.set("QiDong", "QDneirong", "C:\\old.exe");
        AlarmDialog f = rig.loaded();
        f.take_requests();
        rig.file_dialog.answer = c.answer;
        f.start_target_click();
        ASSERT_EQ(rig.file_dialog.asked.size(), 1u) << c.name;
        EXPECT_EQ(rig.file_dialog.asked[0].title, "请选择一个定时启动的文件");
        EXPECT_EQ(rig.file_dialog.asked[0].filter, "应用程序|*.EXE|文本文件|*.TXT|所有文件|*.*");
        EXPECT_EQ(rig.file_dialog.asked[0].filter_index, 1);
        EXPECT_EQ(f.text(kText5), c.shown) << c.name;
        EXPECT_EQ(rig.stored("QiDong", "QDneirong"), c.stored) << c.name;
        EXPECT_EQ(rig.globals.start_target, c.global) << c.name;
        EXPECT_EQ(f.take_requests(), (std::vector<AlarmDialogRequest>{{AlarmDialogRequest::select_all, kText5}})) << c.name;
    }
}

TEST(AlarmDialogProgram, TypingIntoTheProgramBoxSavesNothing) {
    AlarmDialogRig rig;
    rig.set("QiDong", "QDneirong", "C:\\old.exe");
    AlarmDialog f = rig.loaded();
    f.edited(kText5, "C:\\typed.exe");
    f.got_focus(kText5);
    EXPECT_EQ(rig.stored("QiDong", "QDneirong"), "C:\\old.exe");
    EXPECT_EQ(rig.globals.start_target, "C:\\old.exe");
}

TEST(AlarmDialogCaptions, EachCaptionShowsTheNoticeWindowAndNothingElse) {
    AlarmDialogRig rig;
    AlarmDialog f = rig.loaded();
    f.edited(T1(0), "7:00");
    for (int i = 0; i < 7; ++i) {
        f.caption_click(i);
        EXPECT_EQ(rig.notice.shown, i + 1) << "Label1(" << i << ")";
    }
    f.caption_click(7);
    f.caption_click(-1);
    EXPECT_EQ(rig.notice.shown, 7) << "no eighth caption";
    EXPECT_EQ(f.message(), alarm_dialog_design::first_message);
    EXPECT_EQ(f.text(T1(0)), "7:00");
    EXPECT_TRUE(rig.profile.writes.empty());
}

TEST(AlarmDialogTexts, TheFileDialogFilterSplitsIntoThreePairs) {
    const auto pairs = split_filter(alarm_dialog_design::picker_filter);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"应用程序", "*.EXE"}, {"文本文件", "*.TXT"}, {"所有文件", "*.*"}};
    EXPECT_EQ(pairs, expected);
    EXPECT_TRUE(split_filter("").empty());
    EXPECT_EQ(split_filter("odd|*.a|tail").size(), 1u) << "a name without a pattern is left out";
}

}  // namespace
}  // namespace tockly
