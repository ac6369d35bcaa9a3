// Fakes for the settings dialog: the Voice folders, the notice window and
// the file-open dialog, and a rig that holds them with the other fakes.
#pragma once

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "fakes.h"
#include "form2.h"

namespace tockly {

// Readable boxes in failure messages: "Text1(3)".
inline void PrintTo(const Box& box, std::ostream* out) {
    static const char* const names[] = {"Text1", "Combo1", "Text2", "Text3", "Text4", "Text5", "Combo2"};
    *out << names[static_cast<int>(box.control)];
    if (box.control == Control::Text1 || box.control == Control::Combo1 || box.control == Control::Text2)
        *out << "(" << box.index << ")";
}
inline void PrintTo(const Form2Request& r, std::ostream* out) {
    *out << (r.kind == Form2Request::focus ? "focus " : "select ");
    PrintTo(r.box, out);
}

}  // namespace tockly

namespace tockly::test {

inline constexpr std::string_view kForm2Dir = "C:\\Tockly\\";
inline constexpr std::string_view kForm2Ini = "C:\\Tockly\\Software_information.ini";

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

struct Form2Rig {
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

    Form2Rig() {
        globals.ChengXuLuJing = std::string(kForm2Dir);
        folders.folders["C:\\Tockly\\Voice\\NaoLing"] = {"alarm_chirp.mp3", "Alarm_bell.MP3", "notes.txt"};
        folders.folders["C:\\Tockly\\Voice\\Mati"] = {"tick_wood.wav", "fatiao3.wav"};
        folders.folders["C:\\Tockly\\Voice\\pifu"] = {"lanse.gif", "hong.GIF", "readme.txt"};
    }
    void set(std::string_view section, std::string_view key, std::string value) {
        profile.set(kForm2Ini, section, key, std::move(value));
    }
    std::string stored(std::string_view section, std::string_view key) {
        return profile.read(section, key, kForm2Ini).value;
    }
    bool has(std::string_view section, std::string_view key) {
        return profile.values.count(FakeProfile::id(kForm2Ini, section, key)) != 0;
    }
    void store_row(int row, std::string time, std::string sound, std::string notice) {
        set("naoling", std::to_string(row) + "sj", std::move(time));
        set("naoling", std::to_string(row) + "ls", std::move(sound));
        set("naoling", std::to_string(row) + "ts", std::move(notice));
    }
    Form2 make() {
        return Form2({profile, boxes, folders, resources, files, face, notice, file_dialog, format}, globals);
    }
    // The dialog as the user first sees it: made and loaded from the settings.
    Form2 loaded() {
        Form2 f = make();
        f.Form_Load();
        return f;
    }
};

inline Box T1(int i) { return {Control::Text1, i}; }
inline Box C1(int i) { return {Control::Combo1, i}; }
inline Box T2(int i) { return {Control::Text2, i}; }
inline const Box kText3{Control::Text3};
inline const Box kText4{Control::Text4};
inline const Box kText5{Control::Text5};
inline const Box kCombo2{Control::Combo2};

// "0123456789" style picture of the rows: 'o' open, 'x' locked.
inline std::string row_states(const Form2& f) {
    std::string out;
    for (int i = 0; i < form2::row_count; ++i) out += f.row_available(i) ? 'o' : 'x';
    return out;
}

}  // namespace tockly::test
