// Fakes for the settings dialog: the Voice folders, the notice window and
// the file-open dialog, and a rig that holds them with the other fakes.
#pragma once

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/host/clock/fakes.h"
#include "clock/model/alarm_dialog_model.h"

namespace tockly {

// Readable boxes in failure messages: "time_box(3)".
inline void PrintTo(const Box& box, std::ostream* out) {
    static const char* const names[] = {"Text1", "Combo1", "Text2", "Text3", "Text4", "Text5", "Combo2", "Repeat"};
    *out << names[static_cast<int>(box.control)];
    if (box.control == Control::time_box || box.control == Control::sound_box || box.control == Control::notice_box ||
        box.control == Control::rule_box)
        *out << "(" << box.index << ")";
}
inline void PrintTo(const AlarmDialogRequest& r, std::ostream* out) {
    *out << (r.kind == AlarmDialogRequest::focus ? "focus " : "select ");
    PrintTo(r.box, out);
}

}  // namespace tockly

namespace tockly::test {

inline constexpr std::string_view kAlarmDialogDir = "C:\\Tockly\\";
inline constexpr std::string_view kAlarmDialogIni = "C:\\Tockly\\Software_information.ini";

// Folders of file names. Renames fail for a name that exists, a file marked
// read-only, or a folder marked read-only, as the platform refuses them.
class FakeFolders : public Folders {
public:
    std::map<std::string, std::vector<std::string>> folders;  // folder (no final \) -> names
    std::set<std::string> locked_files;                        // full paths the system will not move
    std::set<std::string> read_only_folders;
    std::vector<std::pair<std::string, std::string>> renames;  // every rename asked for

    std::vector<std::string> file_names(std::string_view folder) override {
        const auto it = folders.find(std::string(folder));
        return it == folders.end() ? std::vector<std::string>{} : it->second;
    }
    bool rename_file(std::string_view from, std::string_view to) override {
        renames.emplace_back(from, to);
        const auto split = [](std::string_view path) {
            const auto slash = path.find_last_of('\\');
            return std::pair{std::string(path.substr(0, slash)), std::string(path.substr(slash + 1))};
        };
        const auto [folder, name] = split(from);
        const auto [to_folder, to_name] = split(to);
        auto it = folders.find(folder);
        if (it == folders.end() || folder != to_folder) return false;
        auto& names = it->second;
        const auto has = [&](const std::string& n) {
            return std::any_of(names.begin(), names.end(), [&](const std::string& x) { return lower(x) == lower(n); });
        };
        if (!has(name) || has(to_name) || locked_files.count(std::string(from)) || read_only_folders.count(folder))
            return false;
        std::replace(names.begin(), names.end(), name, to_name);
        return true;
    }
};

class CountingNotice : public CaptionNotice {
public:
    int shown = 0;
    void Show() override { ++shown; }
};

class FakeFileDialog : public FileOpenDialog {
public:
    std::string answer;  // empty: the user cancels
    struct Asked { std::string title, filter; int filter_index; };
    std::vector<Asked> asked;
    std::string open(std::string_view title, std::string_view filter, int filter_index) override {
        asked.push_back({std::string(title), std::string(filter), filter_index});
        return answer;
    }
};

struct AlarmDialogRig {
    FakeProfile profile;
    FakeBoxes boxes;
    FakeFolders folders;
    FakeResources resources;
    FakeFiles files;
    RecordingWindow face;
    CountingNotice notice;
    FakeFileDialog file_dialog;
    ClockGlobals globals;
    TimeFormat format;

    AlarmDialogRig() {
        globals.program_folder = std::string(kAlarmDialogDir);
        folders.folders["C:\\Tockly\\Voice\\NaoLing"] = {"alarm_chirp.mp3", "Alarm_bell.MP3", "notes.txt"};
        folders.folders["C:\\Tockly\\Voice\\Mati"] = {"tick_wood.wav", "fatiao3.wav"};
        folders.folders["C:\\Tockly\\Voice\\pifu"] = {"lanse.gif", "hong.GIF", "readme.txt"};
    }
    void set(std::string_view section, std::string_view key, std::string value) {
        profile.set(kAlarmDialogIni, section, key, std::move(value));
    }
    std::string stored(std::string_view section, std::string_view key) {
        return profile.read(section, key, kAlarmDialogIni).value;
    }
    bool has(std::string_view section, std::string_view key) {
        return profile.values.count(FakeProfile::id(kAlarmDialogIni, section, key)) != 0;
    }
    void store_row(int row, std::string time, std::string sound, std::string notice) {
        set("naoling", std::to_string(row) + "sj", std::move(time));
        set("naoling", std::to_string(row) + "ls", std::move(sound));
        set("naoling", std::to_string(row) + "ts", std::move(notice));
    }
    AlarmDialog make() {
        return AlarmDialog({profile, boxes, folders, resources, files, face, notice, file_dialog, format}, globals);
    }
    // The dialog as the user first sees it: made and loaded from the settings.
    AlarmDialog loaded() {
        AlarmDialog f = make();
        f.load();
        return f;
    }
};

inline Box T1(int i) { return {Control::time_box, i}; }
inline Box C1(int i) { return {Control::sound_box, i}; }
inline Box T2(int i) { return {Control::notice_box, i}; }
inline const Box kText3{Control::shutdown_box};
inline const Box kText4{Control::start_time_box};
inline const Box kText5{Control::start_target_box};
inline const Box kCombo2{Control::skin_box};

// "0123456789" style picture of the rows: 'o' open, 'x' locked.
inline std::string row_states(const AlarmDialog& f) {
    std::string out;
    for (int i = 0; i < alarm_dialog_design::row_count; ++i) out += f.row_available(i) ? 'o' : 'x';
    return out;
}

}  // namespace tockly::test
