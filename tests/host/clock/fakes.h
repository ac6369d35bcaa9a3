// Fakes behind the clock's ports for host tests.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "clock/support/local_time.h"
#include "clock/support/media_player.h"
#include "clock/support/ports.h"
#include "clock/support/shell_port.h"
#include "clock/model/startup.h"
#include "clock/model/tick.h"
#include "clock/model/notice_band_model.h"

namespace tockly::test {

inline std::string lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A profile store keyed case-insensitively, like the platform's.
class FakeProfile : public ProfileStore {
public:
    std::map<std::string, std::string> values;  // "path|section|key" (lower case) -> value
    bool fail_reads = false;
    bool fail_writes = false;
    int reads = 0;
    std::vector<std::string> writes;
    // Changes of the file: one per write, one per write_all however many values it holds.
    int changes = 0;

    static std::string id(std::string_view path, std::string_view section, std::string_view key) {
        return lower(path) + "|" + lower(section) + "|" + lower(key);
    }
    void set(std::string_view path, std::string_view section, std::string_view key, std::string value) {
        values[id(path, section, key)] = std::move(value);
    }
    ProfileRead read(std::string_view section, std::string_view key, std::string_view path) override {
        ++reads;
        if (fail_reads) return {true, {}};
        const auto it = values.find(id(path, section, key));
        return {false, it == values.end() ? std::string() : it->second};
    }
    bool write(std::string_view section, std::string_view key, std::string_view value,
               std::string_view path) override {
        if (fail_writes) return false;
        ++changes;
        store(section, key, value, path);
        return true;
    }
    bool write_all(std::span<const ProfileWrite> all, std::string_view path) override {
        if (fail_writes) return false;
        ++changes;
        for (const ProfileWrite& w : all) store(w.section, w.key, w.value, path);
        return true;
    }

private:
    void store(std::string_view section, std::string_view key, std::string_view value, std::string_view path) {
        writes.push_back(std::string(section) + "/" + std::string(key) + "=" + std::string(value));
        values[id(path, section, key)] = std::string(value);
    }
};

class FakeBoxes : public MessageBoxes {
public:
    struct Shown { std::string text, title; MessageIcon icon; };
    std::vector<Shown> shown;
    void show(std::string_view text, std::string_view title, MessageIcon icon) override {
        shown.push_back({std::string(text), std::string(title), icon});
    }
};

class FakeFiles : public FileSystem {
public:
    std::map<std::string, std::string> files;  // exact path -> bytes
    bool read_only = false;
    int atomic_replacements = 0;
    std::string temp = "C:\\Users\\me\\Temp\\";

    std::optional<std::string> find_name(std::string_view path) override {
        // Like the platform's search: case-insensitive match, stored name returned.
        for (const auto& [stored, bytes] : files) {
            if (lower(stored) == lower(path)) {
                const auto slash = stored.find_last_of('\\');
                return stored.substr(slash == std::string::npos ? 0 : slash + 1);
            }
        }
        return std::nullopt;
    }
    std::optional<std::string> read_bytes(std::string_view path) override {
        const auto it = files.find(std::string(path));
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool write_bytes(std::string_view path, std::string_view bytes) override {
        if (read_only) return false;
        files[std::string(path)] = std::string(bytes);
        return true;
    }
    bool replace_atomically(std::string_view path, std::string_view bytes) override {
        if (read_only) return false;
        ++atomic_replacements;
        files[std::string(path)] = std::string(bytes);
        return true;
    }
    bool can_replace(std::string_view) override { return !read_only; }
    std::string temp_folder() override { return temp; }
};

class FakeResources : public Resources {
public:
    std::optional<std::string> load(std::string_view type, int number) override {
        if (lower(type) != "gif" && lower(type) != "wav") return std::nullopt;
        if (number == 999) return std::nullopt;
        return "bytes of " + lower(type) + " " + std::to_string(number);
    }
};

// Records every call of the load step, in order.
class RecordingWindow : public FaceWindow {
public:
    std::vector<std::string> calls;
    std::map<FaceLabel, bool> labels;
    std::vector<std::string> skins_loaded;
    bool skin_loads = true;
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = false, tray = false;
    std::string tray_tooltip;

    void set_size_twips(int w, int h) override { width = w; height = h; calls.push_back("size"); }
    void set_caption(std::string_view) override { calls.push_back("caption"); }
    void set_elliptic_region(clock_design::Ellipse) override { calls.push_back("region"); }
    void move_twips(int l, int t) override { left = l; top = t; calls.push_back("move"); }
    void make_topmost() override { calls.push_back("topmost"); }
    void set_label_visible(FaceLabel label, bool v) override { labels[label] = v; calls.push_back("label"); }
    bool load_skin(std::string_view path) override {
        calls.push_back("skin");
        if (skin_loads) skins_loaded.emplace_back(path);
        return skin_loads;
    }
    void make_layered_colour_key(unsigned) override { calls.push_back("layered"); }
    void show_tray_icon(std::string_view tip) override { tray = true; tray_tooltip = tip; calls.push_back("tray+"); }
    void remove_tray_icon() override { tray = false; calls.push_back("tray-"); }
    void show() override { visible = true; calls.push_back("show"); }
    void hide() override { visible = false; calls.push_back("hide"); }
};


// Records every notice asked for.
class RecordingNotices : public Notices {
public:
    struct Shown {
        std::int32_t in, stop, out;
        std::string text;
        bool operator==(const Shown&) const = default;
    };
    std::vector<Shown> shown;
    bool fail = false;
    std::vector<std::string>* log = nullptr;  // also noted here as "notice", when set
    void show_notice(std::int32_t in, std::int32_t stop, std::int32_t out, std::string_view text) override {
        if (log) log->push_back("notice");
        if (fail) throw std::runtime_error("notice failed");
        shown.push_back({in, stop, out, std::string(text)});
    }
};

// The media interface: records every command string; answers status queries
// from a table ("Status <alias> length" -> "80").
class FakeMci : public MciPort {
public:
    std::vector<std::string> sent;
    std::map<std::string, std::string> answers;
    // When set, a sound that is not in the table answers like a freshly
    // opened one: length 1000, position 0.
    bool device_answers = false;
    // Commands the device refuses from now on (answered with an MCI error).
    std::vector<std::string> refused;
    MciReply send(std::string_view command, unsigned answer_capacity) override {
        sent.emplace_back(command);
        if (std::find(refused.begin(), refused.end(), command) != refused.end()) return {263u, {}};
        const auto it = answers.find(std::string(command));
        const auto ends_with = [&](std::string_view tail) {
            return command.size() >= tail.size() && command.substr(command.size() - tail.size()) == tail;
        };
        if (it == answers.end() && device_answers && ends_with(" length")) return {0, "1000"};
        if (it == answers.end() && device_answers && ends_with(" position")) return {0, "0"};
        if (it == answers.end()) return {answer_capacity ? 263u : 0u, {}};
        return {0, it->second};
    }
    // The commands other than status queries, which is what a listener hears.
    std::vector<std::string> actions() const {
        std::vector<std::string> out;
        for (const auto& c : sent)
            if (c.rfind("Status ", 0) != 0) out.push_back(c);
        return out;
    }
};

class FakeShell : public Shell {
public:
    std::vector<ShellOpen> opened;
    bool fail = false;
    bool open(const ShellOpen& request) override {
        if (fail) throw std::runtime_error("shell failed");
        opened.push_back(request);
        return true;
    }
};

class FakeClock : public WallClock {
public:
    LocalTime current;
    LocalTime now() override { return current; }
    // Sets the clock to a time of day on 2026-05-09 (a Saturday).
    void set(int hour, int minute, int second, int millisecond = 5) {
        current = local_time_at(LocalTime{2026, 5, 9, 6, 0, 0, 0, 0}.local_seconds() + hour * 3600 + minute * 60 + second);
        current.millisecond = millisecond;
    }
    void advance(int seconds) {
        const int ms = current.millisecond;
        current = local_time_at(current.local_seconds() + seconds);
        current.millisecond = ms;
    }
};

class FakeCodec : public AnsiCodec {
public:
    // Marks the text so a test sees that it went through the conversion.
    std::string to_ansi(std::string_view utf8) override { return "ansi:" + std::string(utf8); }
    std::string from_ansi(std::string_view ansi) override { return std::string(ansi); }
};

class RecordingFace : public TickFace {
public:
    std::array<FaceLine, 3> hands{};
    FaceTexts texts;
    int hands_shown = 0, texts_shown = 0, hubs = 0;
    void show_hands(const std::array<FaceLine, 3>& h) override { hands = h; ++hands_shown; }
    void show_texts(const FaceTexts& t) override { texts = t; ++texts_shown; }
    void draw_hub() override { ++hubs; }
};

// What the start-up reads and shows, with the notices logged in the window's
// call list so that tests see the order of the two.
struct StartupFakes {
    FakeProfile profile;
    FakeBoxes boxes;
    FakeFiles files;
    FakeResources resources;
    RecordingWindow window;
    RecordingNotices notices;

    StartupFakes() { notices.log = &window.calls; }
    StartupPorts ports(ScreenMetrics screen, StartupNetworkCheck* network_check = nullptr) {
        return {profile, boxes, files, resources, window, notices, TimeFormat{}, screen, network_check};
    }
};

// What the tick talks to besides the face, which the host tests record and
// the Windows tests take from the real clock window.
struct TickFakes {
    FakeClock clock;
    FakeMci mci;
    FakeFiles files;
    FakeCodec codec;
    RecordingNotices notices;
    FakeShell shell;

    TickPorts ports(TickFace& face) { return {clock, mci, files, codec, notices, shell, face, TimeFormat{}}; }
};

}  // namespace tockly::test
