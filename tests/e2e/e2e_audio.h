// Hearing the clock from outside: the sound streams that ./tockly's capture
// device (ALSA's file plugin over TOCKLY_AUDIO_CAPTURE) writes, one file per
// stream (the capture path, then the path with .0001, .0002, ... appended),
// and a tone detector for them. A WAV goes out as it is stored; an MP3 comes
// through the mixer as 48000 Hz stereo float.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace tockly::e2e::audio {


// What a sound test says when it cannot hear: ./tockly test always sets the
// capture up, so a run without it has not checked the sounds at all.
inline constexpr const char* no_capture =
    "no audio capture in this run (TOCKLY_AUDIO_CAPTURE and ALSA_CONFIG_PATH; ./tockly test sets them)";

// The capture path as this program reads it (Wine maps / to Z:\).
inline std::string capture_base() {
    const char* unix_path = std::getenv("TOCKLY_AUDIO_CAPTURE");
    if (!unix_path || !*unix_path || !std::getenv("ALSA_CONFIG_PATH")) return {};
    std::string path = unix_path;
    for (auto& c : path) if (c == '/') c = '\\';
    return path[0] == '\\' ? "Z:" + path : path;
}

struct Stream {
    std::string name;
    std::uint64_t size = 0;
    SYSTEMTIME written{};  // local time of the last write
    int written_second() const { return written.wHour * 3600 + written.wMinute * 60 + written.wSecond; }
};

inline std::vector<Stream> streams(const std::string& base) {
    std::vector<Stream> out;
    const std::string folder = base.substr(0, base.find_last_of('\\') + 1);
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(wide(base + "*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        Stream s;
        s.name = folder + utf8(data.cFileName);
        s.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        FILETIME local{};
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
        FileTimeToSystemTime(&local, &s.written);
        out.push_back(s);
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return out;
}

// The streams played while a clock ran: those not there before it started.
class NewStreams {
public:
    NewStreams() : base_(capture_base()) {
        for (const auto& s : streams(base_)) before_.insert(s.name);
    }
    ~NewStreams() {
        if (std::getenv("E2E_KEEP_CAPTURE")) return;
        for (const auto& s : get()) DeleteFileW(wide(s.name).c_str());
    }
    NewStreams(const NewStreams&) = delete;
    NewStreams& operator=(const NewStreams&) = delete;
    bool hearing() const { return !base_.empty(); }
    std::vector<Stream> get() const {
        std::vector<Stream> out;
        if (base_.empty()) return out;
        for (const auto& s : streams(base_))
            if (!before_.count(s.name)) out.push_back(s);
        return out;
    }

private:
    std::string base_;
    std::set<std::string> before_;
};

inline std::string read_prefix(const std::string& path, std::size_t limit) {
    std::string bytes;
    HANDLE f = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(limit);
    DWORD got = 0;
    ReadFile(f, bytes.data(), static_cast<DWORD>(limit), &got, nullptr);
    bytes.resize(got);
    CloseHandle(f);
    return bytes;
}

struct Format {
    const char* name;
    int rate;
    int channels;
    bool is_float;
};
inline constexpr Format wav_as_stored{"22050 Hz mono s16", 22050, 1, false};
inline constexpr Format mixer{"48000 Hz stereo f32", 48000, 2, true};

inline std::vector<double> first_channel(const std::string& bytes, const Format& f) {
    std::vector<double> out;
    const std::size_t sample = f.is_float ? 4 : 2, frame = sample * static_cast<std::size_t>(f.channels);
    for (std::size_t i = 0; i + frame <= bytes.size(); i += frame) {
        if (f.is_float) {
            float v;
            std::memcpy(&v, bytes.data() + i, 4);
            out.push_back(std::isfinite(v) ? v : 0.0);
        } else {
            std::int16_t v;
            std::memcpy(&v, bytes.data() + i, 2);
            out.push_back(v / 32768.0);
        }
    }
    return out;
}

inline double power_at(const std::vector<double>& x, std::size_t start, std::size_t n, double freq, int rate) {
    const double w = 2 * 3.14159265358979 * freq / rate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = start; i < start + n && i < x.size(); ++i) {
        const double s0 = x[i] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// The stretches of the stream that are a clear tone at `freq` (much
// stronger there than at the neighbouring tones a wrong sound would have),
// counted as separate sounds when silence or another sound lies between them.
inline int tone_bursts(const std::string& bytes, const Format& f, double freq) {
    const auto x = first_channel(bytes, f);
    const std::size_t window = static_cast<std::size_t>(f.rate) / 25;  // 40 ms
    int bursts = 0;
    bool in_tone = false;
    for (std::size_t start = 0; start + window <= x.size(); start += window / 2) {
        const double at = power_at(x, start, window, freq, f.rate);
        double others = 0;
        for (double k : {0.5, 0.75, 1.33, 1.6}) others = std::max(others, power_at(x, start, window, freq * k, f.rate));
        const bool tone = at > 1e-4 && at > 20 * others;
        bursts += tone && !in_tone;
        in_tone = tone;
    }
    return bursts;
}

inline bool has_tone(const std::string& bytes, const Format& f, double freq) { return tone_bursts(bytes, f, freq) > 0; }

}  // namespace tockly::e2e::audio
