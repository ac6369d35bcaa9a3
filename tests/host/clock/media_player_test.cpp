#include <gtest/gtest.h>

#include "tests/host/clock/fakes.h"
#include "clock/support/media_player.h"

namespace tockly {
namespace {

using namespace test;
using Lines = std::vector<std::string>;

struct Rig {
    FakeMci mci;
    FakeFiles files;
    Rig() {
        for (const char* f : {"C:\\x\\ring.mp3", "C:\\x\\tick.wav", "C:\\x\\TUNE.MiD", "C:\\x\\film.avi",
                              "C:\\x\\song.ogg", "C:\\x\\second.mp3", "C:\\x\\正点.wav"})
            files.files[f] = "bytes";
    }
    // What the device says about the ring once it is open.
    void ring_status(std::string mode, std::string length, std::string position) {
        mci.answers["Status \"C:\\x\\ring.mp3\" mode"] = std::move(mode);
        mci.answers["Status \"C:\\x\\ring.mp3\" length"] = std::move(length);
        mci.answers["Status \"C:\\x\\ring.mp3\" position"] = std::move(position);
    }
};

TEST(MediaPlayer, OpenSendsThePathQuotedWithTheDeviceOfItsEnding) {
    const struct { const char* name; std::string path; std::int32_t hwnd; Lines sent; } cases[] = {
        {"mp3", "C:\\x\\ring.mp3", 0, {"Open \"C:\\x\\ring.mp3\" ALIAS \"C:\\x\\ring.mp3\" TYPE mpegvideo"}},
        {"lower-case wav", "C:\\x\\tick.wav", 0, {"Open \"C:\\x\\tick.wav\" ALIAS \"C:\\x\\tick.wav\" TYPE Waveaudio"}},
        {"mixed-case mid", "C:\\x\\TUNE.MiD", 0, {"Open \"C:\\x\\TUNE.MiD\" ALIAS \"C:\\x\\TUNE.MiD\" TYPE Sequencer"}},
        {"avi without window", "C:\\x\\film.avi", 0, {"Open \"C:\\x\\film.avi\" ALIAS \"C:\\x\\film.avi\" TYPE AviVideo"}},
        {"avi in a window", "C:\\x\\film.avi", 4242,
         {"open \"C:\\x\\film.avi\" ALIAS \"C:\\x\\film.avi\" TYPE AVIVideo parent 4242 style 1073741824"}},
        {"Chinese name", "C:\\x\\正点.wav", 0, {"Open \"C:\\x\\正点.wav\" ALIAS \"C:\\x\\正点.wav\" TYPE Waveaudio"}},
        {"unknown ending", "C:\\x\\song.ogg", 0, {}},
        {"missing file", "C:\\x\\gone.mp3", 0, {}},
    };
    for (const auto& c : cases) {
        Rig rig;
        MediaPlayer player(rig.mci, rig.files);
        player.mmOpen(c.path, c.hwnd);
        EXPECT_EQ(rig.mci.sent, c.sent) << c.name;
    }
}

TEST(MediaPlayer, PlaysFromAnyFolder) {
    const struct { const char* name; std::string path; Lines sent; } cases[] = {
        {"space", "C:\\Program Files\\Tockly\\Voice\\Mati\\fatiao3.wav",
         {"Open \"C:\\Program Files\\Tockly\\Voice\\Mati\\fatiao3.wav\" ALIAS "
          "\"C:\\Program Files\\Tockly\\Voice\\Mati\\fatiao3.wav\" TYPE Waveaudio",
          "Play \"C:\\Program Files\\Tockly\\Voice\\Mati\\fatiao3.wav\""}},
        {"Chinese and a space", "D:\\绿色 软件\\Tockly\\闹铃 一.mp3",
         {"Open \"D:\\绿色 软件\\Tockly\\闹铃 一.mp3\" ALIAS \"D:\\绿色 软件\\Tockly\\闹铃 一.mp3\" TYPE mpegvideo",
          "Play \"D:\\绿色 软件\\Tockly\\闹铃 一.mp3\""}},
        {"outside the ANSI code page", "C:\\Users\\Mañana\\ring.mp3",
         {"Open \"C:\\Users\\Mañana\\ring.mp3\" ALIAS \"C:\\Users\\Mañana\\ring.mp3\" TYPE mpegvideo",
          "Play \"C:\\Users\\Mañana\\ring.mp3\""}},
        {"a quote, which no file name holds", "C:\\x\\say \"hi\".mp3", {}},
    };
    for (const auto& c : cases) {
        FakeMci mci;
        mci.device_answers = true;
        FakeFiles files;
        files.files[c.path] = "bytes";
        MediaPlayer player(mci, files);
        player.mmOpen(c.path, 0);
        player.mmPlay();
        EXPECT_EQ(mci.actions(), c.sent) << c.name;
    }
}

TEST(MediaPlayer, AWaveTheWaveDeviceRefusesOpensAsMpeg) {
    Rig rig;
    const std::string wav = "Open \"C:\\x\\tick.wav\" ALIAS \"C:\\x\\tick.wav\" TYPE ";
    rig.mci.refused = {wav + "Waveaudio"};
    MediaPlayer player(rig.mci, rig.files);
    player.mmOpen("C:\\x\\tick.wav", 0);
    EXPECT_EQ(rig.mci.sent, (Lines{wav + "Waveaudio", wav + "mpegvideo"}));
    rig.mci.sent.clear();
    rig.mci.refused = {"Open \"C:\\x\\ring.mp3\" ALIAS \"C:\\x\\ring.mp3\" TYPE mpegvideo"};
    player.mmOpen("C:\\x\\ring.mp3", 0);
    EXPECT_EQ(rig.mci.sent, (Lines{"Close \"C:\\x\\tick.wav\"", rig.mci.refused[0]})) << "an MP3 has no other device";
}

TEST(MediaPlayer, FilenameTellsWhatWasOpened) {
    const struct { std::string path; std::string filename; std::string alias; } cases[] = {
        {"C:\\x\\ring.mp3", "C:\\x\\ring.mp3", "C:\\x\\ring.mp3"},
        {"C:\\x\\song.ogg", "C:\\x\\song.ogg", "C:\\x\\song.ogg"},
        {"C:\\x\\gone.mp3", "文件C:\\x\\gone.mp3 不存在！", ""},
    };
    for (const auto& c : cases) {
        Rig rig;
        MediaPlayer player(rig.mci, rig.files);
        player.Filename(c.path);
        EXPECT_EQ(player.Filename(), c.filename) << c.path;
        EXPECT_EQ(player.alias(), c.alias) << c.path;
    }
}

TEST(MediaPlayer, AMissingFilePlaysNothing) {
    Rig rig;
    MediaPlayer player(rig.mci, rig.files);
    player.mmOpen("C:\\x\\gone.mp3", 0);
    player.mmPlay();
    player.mmPause();
    player.mmStop();
    player.mmRestart();
    EXPECT_EQ(player.status(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_TRUE(rig.mci.sent.empty());
}

TEST(MediaPlayer, AnUnknownEndingStillPlaysItsAlias) {
    Rig rig;
    MediaPlayer player(rig.mci, rig.files);
    player.mmOpen("C:\\x\\song.ogg", 0);
    player.mmPlay();
    EXPECT_EQ(rig.mci.sent, (Lines{"Status \"C:\\x\\song.ogg\" length", "Status \"C:\\x\\song.ogg\" position",
                                   "Seek \"C:\\x\\song.ogg\" to 0", "Play \"C:\\x\\song.ogg\""}));
}

TEST(MediaPlayer, PlayRewindsOnlyAtTheEnd) {
    const struct { const char* name; const char* length; const char* position; bool wait; Lines actions; } cases[] = {
        {"at the end", "80", "80", false, {"Seek \"a.wav\" to 0", "Play \"a.wav\""}},
        {"in the middle", "80", "40", false, {"Play \"a.wav\""}},
        {"nothing to measure", "", "", false, {"Seek \"a.wav\" to 0", "Play \"a.wav\""}},
        {"waiting", "80", "0", true, {"Play \"a.wav\" wait"}},
    };
    for (const auto& c : cases) {
        FakeMci mci;
        FakeFiles files;
        files.files["a.wav"] = "x";
        MediaPlayer player(mci, files);
        player.mmOpen("a.wav", 0);
        mci.sent.clear();
        mci.answers["Status \"a.wav\" length"] = c.length;
        mci.answers["Status \"a.wav\" position"] = c.position;
        player.Wait(c.wait);
        player.mmPlay();
        EXPECT_EQ(mci.actions(), c.actions) << c.name;
    }
}

TEST(MediaPlayer, PauseTwiceResumes) {
    Rig rig;
    MediaPlayer player(rig.mci, rig.files);
    player.mmOpen("C:\\x\\ring.mp3", 0);
    rig.ring_status("playing", "5000", "1200");
    player.mmPause();
    rig.mci.answers["Status \"C:\\x\\ring.mp3\" mode"] = "paused";
    player.mmPause();
    EXPECT_EQ(rig.mci.actions(), (Lines{"Open \"C:\\x\\ring.mp3\" ALIAS \"C:\\x\\ring.mp3\" TYPE mpegvideo",
                                        "Pause \"C:\\x\\ring.mp3\"", "Play \"C:\\x\\ring.mp3\""}));
}

TEST(MediaPlayer, OpeningASecondFileClosesTheFirst) {
    Rig rig;
    MediaPlayer player(rig.mci, rig.files);
    player.mmOpen("C:\\x\\ring.mp3", 0);
    player.mmOpen("C:\\x\\second.mp3", 0);
    EXPECT_EQ(rig.mci.sent, (Lines{"Open \"C:\\x\\ring.mp3\" ALIAS \"C:\\x\\ring.mp3\" TYPE mpegvideo", "Close \"C:\\x\\ring.mp3\"",
                                   "Open \"C:\\x\\second.mp3\" ALIAS \"C:\\x\\second.mp3\" TYPE mpegvideo"}));
    EXPECT_EQ(player.Filename(), "C:\\x\\second.mp3");
}

TEST(MediaPlayer, StopRestartAndClose) {
    Rig rig;
    {
        MediaPlayer player(rig.mci, rig.files);
        player.mmOpen("C:\\x\\tick.wav", 0);
        rig.mci.sent.clear();
        rig.mci.answers["Status \"C:\\x\\tick.wav\" length"] = "80";
        rig.mci.answers["Status \"C:\\x\\tick.wav\" position"] = "0";
        player.mmStop();
        player.mmRestart();
        player.mmClose();
        EXPECT_EQ(player.Filename(), "");
        player.mmClose();
        player.mmOpen("C:\\x\\tick.wav", 0);
    }
    EXPECT_EQ(rig.mci.actions(), (Lines{"Stop \"C:\\x\\tick.wav\"", "Seek \"C:\\x\\tick.wav\" to 0", "Seek \"C:\\x\\tick.wav\" to 0",
                                        "Play \"C:\\x\\tick.wav\"", "Close \"C:\\x\\tick.wav\"",
                                        "Open \"C:\\x\\tick.wav\" ALIAS \"C:\\x\\tick.wav\" TYPE Waveaudio",
                                        "Close \"C:\\x\\tick.wav\""}))
        << "a second close sends nothing; destruction closes";
}

TEST(MediaPlayer, SeekOnAClosedPlayerSendsTheEmptyAlias) {
    Rig rig;
    MediaPlayer player(rig.mci, rig.files);
    player.mmSeek(0);
    player.Position(12.5f);
    EXPECT_EQ(rig.mci.sent, (Lines{"Seek  to 0", "Seek  to 12.5"}));
}

TEST(MediaPlayer, StatusQueriesReadTheAnswer) {
    Rig rig;
    MediaPlayer player(rig.mci, rig.files);
    player.mmOpen("C:\\x\\ring.mp3", 0);
    rig.ring_status("stopped", "183040", " 12.5");
    EXPECT_EQ(player.Length(), 183040.0f);
    EXPECT_EQ(player.Position(), 12.5f);
    EXPECT_EQ(player.status(), "stopped");
}

TEST(MediaPlayer, NumbersAsTextAndBack) {
    const struct { float value; const char* text; } singles[] = {
        {0, "0"}, {12.5f, "12.5"}, {1234567, "1234567"}, {0.1f, "0.1"}, {-3, "-3"}};
    for (const auto& c : singles) EXPECT_EQ(single_as_text(c.value), c.text) << c.text;
    const struct { const char* text; float value; } numbers[] = {
        {"80", 80}, {" 12.5ms", 12.5f}, {"", 0}, {"abc", 0}, {"-4", -4}};
    for (const auto& c : numbers) EXPECT_EQ(leading_number(c.text), c.value) << "[" << c.text << "]";
}

}  // namespace
}  // namespace tockly
