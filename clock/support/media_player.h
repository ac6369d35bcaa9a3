// MediaPlayer: one sound (or video) file at a time through MCI command strings.
// A file that cannot be played simply stays silent. Every path (and the
// alias, which is the path) goes into the strings in double quotes, so a
// file plays from any folder: spaces, Chinese, any character a file name may
// hold. A WAV that the wave device cannot open is opened by the MPEG device
// instead (Wine's wave device, for one, finds no file whose path has
// characters outside the ANSI code page).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "clock/support/ports.h"

namespace tockly {

struct MciReply {
    std::uint32_t code = 0;  // 0 when the media interface accepted the command
    std::string answer;      // the return buffer up to its first NUL (UTF-8)
};

// Sends one MCI command string (UTF-8 here, UTF-16 at the platform).
// `answer_capacity` is the return buffer length: 0 for commands whose answer
// nobody reads, 255 for status queries.
class MciPort {
public:
    virtual ~MciPort() = default;
    virtual MciReply send(std::string_view command, unsigned answer_capacity) = 0;
};

// The device type for a file, chosen by the upper-cased last three
// characters of its path; empty when the ending is not one MCI plays here.
std::string_view mci_device_type(std::string_view path);

// A path as it goes into a command: in double quotes. No file name holds a
// quote, so none can end the quoted text early.
std::string mci_quoted(std::string_view path);

// A Single as VB writes it into a string: shortest form, no trailing zeros.
std::string single_as_text(float value);

// The numeric value at the start of a text, 0 when there is none ("80" ->
// 80, "12.5ms" -> 12.5, "" -> 0).
float leading_number(std::string_view text);

inline constexpr std::uint32_t ws_child_style = 1073741824;  // WS_CHILD in decimal

class MediaPlayer {
public:
    MediaPlayer(MciPort& mci, FileSystem& files) : mci_(mci), files_(files) {}
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    void mmOpen(std::string_view sTheFile, std::int32_t hWnd);
    void mmClose();
    void mmPause();
    void mmPlay();
    void mmStop();
    void mmSeek(float nPosition);
    void mmRestart();
    // Plays `path` once from its start, for a sound that repeats every second.
    // While the device already holds this file it is only played again from
    // the start (one short command); a new file, or a play the device
    // refuses, closes and opens it again as mmOpen and mmPlay do.
    void mmReplay(std::string_view path);

    const std::string& Filename() const { return filename_; }
    void Filename(std::string_view path) { mmOpen(path, 0); }
    bool Wait() const { return wait_; }
    void Wait(bool bWaitValue) { wait_ = bWaitValue; }
    float Length();
    float Position();
    void Position(float nPosition) { mmSeek(nPosition); }
    std::string status();

    const std::string& alias() const { return alias_; }

private:
    std::string query(std::string_view what);
    // The alias as commands name it: quoted, or nothing when none is open.
    std::string device() const;

    MciPort& mci_;
    FileSystem& files_;
    std::string alias_;
    std::string filename_;
    bool wait_ = false;
    // Set once a play of the open file has been accepted, so mmReplay may
    // reuse the device; any open or close clears it.
    bool replayable_ = false;
};

}  // namespace tockly
