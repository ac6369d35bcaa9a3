// Hearing the clock from outside: the sound streams that ./tockly's capture
// device (ALSA's file plugin over TOCKLY_AUDIO_CAPTURE) writes, one file per
// stream (the capture path, then the path with .0001, .0002, ... appended),
// and a tone detector for them. A WAV goes out as it is stored.
#pragma once

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace tockly::e2e::audio {

// The capture path as a Windows path, empty when this run has no capture device.
inline std::string capture_base() {
    const char* unix_path = std::getenv("TOCKLY_AUDIO_CAPTURE");
    if (!unix_path || !*unix_path || !std::getenv("ALSA_CONFIG_PATH")) return {};
    std::string path = unix_path;
    for (auto& c : path) if (c == '/') c = '\\';
    return path[0] == '\\' ? "Z:" + path : path;
}

inline std::vector<std::string> stream_files(const std::string& base) {
    std::vector<std::string> out;
    const std::string folder = base.substr(0, base.find_last_of('\\') + 1);
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(wide(base + "*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        out.push_back(folder + utf8(data.cFileName));
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return out;
}

// The streams played since this object was made; removed again at its end.
class NewStreams {
public:
    NewStreams() : base_(capture_base()) {
        for (const auto& s : stream_files(base_)) before_.insert(s);
    }
    ~NewStreams() {
        if (std::getenv("E2E_KEEP_CAPTURE")) return;
        for (const auto& s : get()) DeleteFileW(wide(s).c_str());
    }
    NewStreams(const NewStreams&) = delete;
    NewStreams& operator=(const NewStreams&) = delete;
    bool hearing() const { return !base_.empty(); }
    std::vector<std::string> get() const {
        std::vector<std::string> out;
        if (base_.empty()) return out;
        for (const auto& s : stream_files(base_))
            if (!before_.count(s)) out.push_back(s);
        return out;
    }

private:
    std::string base_;
    std::set<std::string> before_;
};

inline std::string read_file(const std::string& path, std::size_t limit = 8 << 20) {
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

// 16-bit mono samples at `rate`, as a WAV of that form is played.
inline double power_at(const std::string& s16, std::size_t start, std::size_t n, double freq, int rate) {
    const double w = 2 * 3.14159265358979 * freq / rate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = start; i < start + n && (i + 1) * 2 <= s16.size(); ++i) {
        std::int16_t v;
        std::memcpy(&v, s16.data() + i * 2, 2);
        const double s0 = v / 32768.0 + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// True when some 40 ms of the stream are a clear tone at `freq`, much
// stronger than at the neighbouring tones a wrong sound would have.
inline bool has_tone(const std::string& s16, double freq, int rate = 22050) {
    const std::size_t samples = s16.size() / 2, window = static_cast<std::size_t>(rate) / 25;
    for (std::size_t start = 0; start + window <= samples; start += window / 2) {
        const double at = power_at(s16, start, window, freq, rate);
        double others = 0;
        for (double k : {0.5, 0.75, 1.33, 1.6}) others = std::max(others, power_at(s16, start, window, freq * k, rate));
        if (at > 1e-4 && at > 20 * others) return true;
    }
    return false;
}

}  // namespace tockly::e2e::audio
