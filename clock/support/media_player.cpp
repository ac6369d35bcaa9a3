#include "clock/support/media_player.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace tockly {

namespace {

constexpr unsigned no_answer = 0;
constexpr unsigned status_answer = 255;

}  // namespace

std::string_view mci_device_type(std::string_view path) {
    if (path.size() < 3) return {};
    std::string ending(path.substr(path.size() - 3));
    for (auto& c : ending) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ending == "WAV") return "Waveaudio";
    if (ending == "AVI") return "AviVideo";
    if (ending == "MID") return "Sequencer";
    if (ending == "MP3") return "mpegvideo";
    return {};
}

std::string mci_quoted(std::string_view path) {
    std::string quoted;
    quoted.reserve(path.size() + 2);
    quoted.append(1, '"').append(path).append(1, '"');
    return quoted;
}

std::string single_as_text(float value) {
    // Seven significant digits are what a Single carries; %g drops the zeros.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.7g", static_cast<double>(value));
    return buffer;
}

float leading_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    const std::string s(text.substr(i, 64));
    char* end = nullptr;
    const double value = std::strtod(s.c_str(), &end);
    if (end == s.c_str()) return 0;
    return static_cast<float>(value);
}

MediaPlayer::~MediaPlayer() {
    // Destruction closes the device, whatever state it was left in.
    try {
        mmClose();
    } catch (...) {
    }
}

void MediaPlayer::mmOpen(std::string_view sTheFile, std::int32_t hWnd) {
    if (!alias_.empty()) mmClose();
    replayable_ = false;
    // A quote cannot be in a file name, nor be carried inside a quoted path.
    if (sTheFile.find('"') != std::string_view::npos || !files_.find_name(sTheFile)) {
        filename_ = "文件" + std::string(sTheFile) + " 不存在！";
        return;
    }
    filename_ = std::string(sTheFile);
    alias_ = std::string(sTheFile);
    const std::string_view type = mci_device_type(sTheFile);
    if (type.empty()) return;
    const std::string file = mci_quoted(filename_);
    if (type == "AviVideo" && hWnd >= 1) {
        mci_.send("open " + file + " ALIAS " + device() + " TYPE AVIVideo parent " + std::to_string(hWnd) +
                      " style " + std::to_string(ws_child_style),
                  no_answer);
        return;
    }
    const std::string open = "Open " + file + " ALIAS " + device() + " TYPE ";
    if (mci_.send(open + std::string(type), no_answer).code != 0 && type == "Waveaudio")
        mci_.send(open + "mpegvideo", no_answer);
}

std::string MediaPlayer::device() const { return alias_.empty() ? std::string() : mci_quoted(alias_); }

void MediaPlayer::mmClose() {
    if (alias_.empty()) return;
    mci_.send("Close " + device(), no_answer);
    replayable_ = false;
    alias_.clear();
    filename_.clear();
}

void MediaPlayer::mmPause() {
    if (alias_.empty()) return;
    if (status() != "paused")
        mci_.send("Pause " + device(), no_answer);
    else
        mmPlay();
}

void MediaPlayer::mmPlay() {
    if (alias_.empty()) return;
    // At the end (or with nothing to measure) play again from the start.
    if (Length() == Position()) mmSeek(0);
    replayable_ = mci_.send("Play " + device() + (wait_ ? " wait" : ""), no_answer).code == 0;
}

void MediaPlayer::mmStop() {
    if (alias_.empty()) return;
    mci_.send("Stop " + device(), no_answer);
    mmSeek(0);
}

void MediaPlayer::mmSeek(float nPosition) {
    // No alias check here: on a closed player this is a harmless bad command.
    mci_.send("Seek " + device() + " to " + single_as_text(nPosition), no_answer);
}

void MediaPlayer::mmRestart() {
    if (alias_.empty()) return;
    mmSeek(0);
    mmPlay();
}

void MediaPlayer::mmReplay(std::string_view path) {
    if (replayable_ && alias_ == path) {
        // One command, not a seek and a play: the wave driver stops and
        // rewinds for each of them, and this runs every second.
        replayable_ = mci_.send("Play " + device() + " from 0" + (wait_ ? " wait" : ""), no_answer).code == 0;
        if (replayable_) return;
    }
    mmOpen(path, 0);
    mmPlay();
}

std::string MediaPlayer::query(std::string_view what) {
    return mci_.send("Status " + device() + " " + std::string(what), status_answer).answer;
}

float MediaPlayer::Length() {
    if (alias_.empty()) return 0;
    return leading_number(query("length"));
}

float MediaPlayer::Position() {
    if (alias_.empty()) return 0;
    return leading_number(query("position"));
}

std::string MediaPlayer::status() {
    if (alias_.empty()) return {};
    return query("mode");
}

}  // namespace tockly
