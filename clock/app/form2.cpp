#include "form2.h"

#include <algorithm>
#include <utility>

#include "clock_files.h"
#include "settings_file.h"
#include "settings_keys.h"

namespace tockly {

std::string dropped_rows_text(int first_empty_row, int dropped) {
    return "第" + std::to_string(first_empty_row) + "行时间为空，其下" + std::to_string(dropped) +
           "个闹铃未保存";
}

std::string refused_rename_text(std::string_view name) {
    return "文件名“" + std::string(name) + "”含空格，无法改名";
}

std::vector<std::pair<std::string, std::string>> split_filter(std::string_view filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto bar = filter.find('|', start);
        parts.emplace_back(filter.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) pairs.emplace_back(parts[i], parts[i + 1]);
    return pairs;
}

Form2::Form2(Form2Ports ports, ClockGlobals& globals) : ports_(ports), g_(globals) {}

std::string Form2::read(std::string_view section, std::string_view key) const {
    return trim_spaces(DuQuINI({ports_.profile, ports_.boxes}, section, key, g_.settings_path()));
}

void Form2::write(std::string_view section, std::string_view key, std::string_view value) {
    XieRuINI({ports_.profile, ports_.boxes}, section, key, value, g_.settings_path());
}

std::string Form2::voice_folder(std::string_view sub) const {
    // The sub-folder names end in a backslash; the file lists take the folder without it.
    std::string folder = g_.ChengXuLuJing + std::string(sub);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

bool Form2::valid_time(std::string_view text) const {
    return !text.empty() && parse_time_of_day(text, ports_.time_format).has_value();
}

std::string& Form2::slot(Box box) {
    const auto i = static_cast<std::size_t>(box.index);
    switch (box.control) {
    case Control::Text1: return text1_.at(i);
    case Control::Combo1: return combo1_.at(i);
    case Control::Text2: return text2_.at(i);
    case Control::Text3: return text3_;
    case Control::Text4: return text4_;
    case Control::Text5: return text5_;
    case Control::Combo2: return combo2_;
    }
    return text3_;
}

const std::string& Form2::text(Box box) const { return const_cast<Form2*>(this)->slot(box); }

bool Form2::enabled(Box box) const {
    switch (box.control) {
    case Control::Text1:
    case Control::Text2: return row_available(box.index);
    case Control::Combo1: return box.index == form2::ticking_box || row_available(box.index);
    default: return true;
    }
}

const std::vector<std::string>& Form2::list(Box box) const {
    static const std::vector<std::string> none;
    if (box.control == Control::Combo2) return skins_;
    if (box.control != Control::Combo1) return none;
    return box.index == form2::ticking_box ? ticking_sounds_ : alarm_sounds_;
}

std::vector<Form2Request> Form2::take_requests() { return std::exchange(requests_, {}); }

void Form2::set_text(Box box, std::string_view text) {
    std::string& current = slot(box);
    // A box raises its change event only when its text really changes.
    if (current == text) return;
    current = std::string(text);
    if (box.control == Control::Text1) Text1_Change(box.index);
}

void Form2::edited(Box box, std::string_view text) { set_text(box, text); }

void Form2::Form_Load() {
    // The file lists of the three Voice sub-folders; a missing folder lists nothing.
    alarm_sounds_ = list_files(ports_.folders, voice_folder(voice::NaoLing), "mp3");
    ticking_sounds_ = list_files(ports_.folders, voice_folder(voice::Mati), "wav");
    const auto skin_files = list_files(ports_.folders, voice_folder(voice::pifu), "gif");
    ++lists_version_;

    // Clearing a list clears the box's text as well.
    for (int i = 0; i < form2::row_count; ++i) combo1_[i].clear();
    combo1_[form2::ticking_box] = ticking_sounds_.empty() ? std::string() : ticking_sounds_.front();

    skins_.assign(std::begin(form1::built_in_skin_names), std::end(form1::built_in_skin_names));
    combo2_.clear();
    if (!skin_files.empty()) {
        skins_.insert(skins_.end(), skin_files.begin(), skin_files.end());
        combo2_ = skin_files.front();
    }
    combo2_ = read(ini::PiFu::section, ini::PiFu::pifu0);

    // The stored rows, up to the first blank time; the stored count is not asked.
    for (int i = 0; i < form2::row_count; ++i) {
        const std::string time = read(ini::naoling::section, ini::naoling::time_key(i));
        if (time.empty()) break;
        AlarmRow& row = g_.NaoLingBiao[static_cast<std::size_t>(i)];
        row.time = time;
        row.sound = read(ini::naoling::section, ini::naoling::sound_key(i));
        row.notice = read(ini::naoling::section, ini::naoling::notice_key(i));
        set_text({Control::Text1, i}, row.time);
        set_text({Control::Combo1, i}, row.sound);
        set_text({Control::Text2, i}, row.notice);
    }

    combo1_[form2::ticking_box] = read(ini::mts::section, ini::mts::fatiaosheng0);
    set_text({Control::Text3}, g_.GuanJiShiJian);
    g_.QiDongShiJian = read(ini::QiDong::section, ini::QiDong::QDShiJian);
    g_.QiDongNeiRong = read(ini::QiDong::section, ini::QiDong::QDneirong);
    set_text({Control::Text4}, g_.QiDongShiJian);
    set_text({Control::Text5}, g_.QiDongNeiRong);

    // Rows up to the first one without a valid time are open; the first such
    // row is where the next alarm goes, the rows below it are emptied and locked.
    int first = 0;
    while (first < form2::row_count && valid_time(text1_[first])) ++first;
    for (int i = 0; i < form2::row_count; ++i) available_[i] = i <= first;
    for (int i = first + 1; i < form2::row_count; ++i) {
        set_text({Control::Text1, i}, "");
        set_text({Control::Text2, i}, "");
        set_text({Control::Combo1, i}, "");
        available_[i] = false;
    }
}

void Form2::Text1_Change(int row) {
    // The tenth row has no row below it.
    if (row >= form2::row_count - 1) return;
    if (valid_time(text1_[row])) {
        available_[row + 1] = true;
    } else {
        for (int i = row + 1; i < form2::row_count; ++i) available_[i] = false;
    }
}

void Form2::hold_focus(Box box) {
    message_ = form2::bad_time_message;
    request(Form2Request::select_all, box);
    request(Form2Request::focus, box);
}

void Form2::Text1_LostFocus(int row) {
    // The tenth row's time is neither converted nor checked.
    if (row >= form2::row_count - 1) return;
    if (text1_[row].empty()) return;
    const auto converted = normalise_time_text(text1_[row], ports_.time_format);
    if (!converted) {
        hold_focus({Control::Text1, row});
        return;
    }
    set_text({Control::Text1, row}, *converted);
    if (text2_[row].empty()) set_text({Control::Text2, row}, *converted);
}

void Form2::single_time_lost_focus(Box box, std::string_view section, std::string_view key,
                                   std::string& global) {
    const std::string& typed = text(box);
    if (typed.empty()) {
        write(section, key, "");
        global.clear();
        return;
    }
    const auto converted = normalise_time_text(typed, ports_.time_format);
    if (!converted) {
        hold_focus(box);
        return;
    }
    set_text(box, *converted);
    write(section, key, *converted);
    global = *converted;
}

void Form2::Text3_LostFocus() {
    single_time_lost_focus({Control::Text3}, ini::GuanJi::section, ini::GuanJi::GjShiJian, g_.GuanJiShiJian);
}

void Form2::Text4_LostFocus() {
    single_time_lost_focus({Control::Text4}, ini::QiDong::section, ini::QiDong::QDShiJian, g_.QiDongShiJian);
}

void Form2::GotFocus(Box box) {
    switch (box.control) {
    case Control::Text1:
    case Control::Text2:
    case Control::Text3:
    case Control::Text4: request(Form2Request::select_all, box); break;
    default: break;
    }
}

void Form2::KeyPress(Box box, int& key_ascii) {
    if (key_ascii != form2::enter_key) return;
    std::optional<Box> next;
    switch (box.control) {
    case Control::Text1: next = Box{Control::Combo1, box.index}; break;
    case Control::Combo1:
        // The ticking-sound box has no notice box; Enter goes on to the shutdown time below it.
        next = box.index == form2::ticking_box ? Box{Control::Text3} : Box{Control::Text2, box.index};
        break;
    case Control::Text2:
        if (box.index < form2::row_count - 1 && row_available(box.index + 1))
            next = Box{Control::Text1, box.index + 1};
        else
            next = Box{Control::Text1, 0};
        break;
    case Control::Text4: next = Box{Control::Text5}; break;
    default: return;
    }
    key_ascii = 0;
    request(Form2Request::focus, *next);
}

void Form2::Combo1_Click(int index, std::string_view picked) {
    if (index < 0 || index > form2::ticking_box) return;
    combo1_[index] = std::string(picked);
    if (picked.find(' ') != std::string_view::npos) {
        const bool ticking = index == form2::ticking_box;
        const std::string folder = voice_folder(ticking ? voice::Mati : voice::NaoLing);
        const RenamePass pass =
            remove_spaces_from_names(ports_.folders, folder, ticking ? ticking_sounds_ : alarm_sounds_);
        Form_Load();
        // A name the system would not rename comes back in the list; say why
        // picking it does nothing.
        const auto& now_listed = ticking ? ticking_sounds_ : alarm_sounds_;
        if (std::find(pass.refused.begin(), pass.refused.end(), picked) != pass.refused.end() &&
            std::find(now_listed.begin(), now_listed.end(), picked) != now_listed.end())
            message_ = refused_rename_text(picked);
        return;
    }
    if (index == form2::ticking_box) {
        write(ini::mts::section, ini::mts::fatiaosheng0, picked);
        g_.FaTiaoSheng = std::string(picked);
    }
}

void Form2::Combo2_Click(std::string_view picked) {
    combo2_ = std::string(picked);
    const std::string name = trim_spaces(picked);
    write(ini::PiFu::section, ini::PiFu::pifu0, name);
    const auto* built_in = std::find(std::begin(form1::built_in_skin_names),
                                     std::end(form1::built_in_skin_names), name);
    if (built_in != std::end(form1::built_in_skin_names)) {
        const auto number = static_cast<std::int16_t>(form1::built_in_skin_first_resource +
                                                      (built_in - std::begin(form1::built_in_skin_names)));
        g_.PiFuLuJing = ShiFangZiYuan(ports_.resources, ports_.files, number, "gif");
    } else {
        g_.PiFuLuJing = g_.ChengXuLuJing + std::string(voice::pifu) + name;
    }
    // A file that is not a picture leaves the face as it was (load_skin says no).
    if (ports_.files.find_name(g_.PiFuLuJing)) ports_.face.load_skin(g_.PiFuLuJing);
}

void Form2::Text5_Click() {
    request(Form2Request::select_all, {Control::Text5});
    const std::string chosen =
        ports_.file_dialog.open(form2::picker_title, form2::picker_filter, form2::picker_filter_index);
    if (!trim_spaces(chosen).empty()) {
        set_text({Control::Text5}, chosen);
        write(ini::QiDong::section, ini::QiDong::QDneirong, chosen);
        g_.QiDongNeiRong = chosen;
    } else {
        // Cancelling is how the scheduled program is taken away.
        set_text({Control::Text5}, "");
        write(ini::QiDong::section, ini::QiDong::QDneirong, "");
        g_.QiDongNeiRong.clear();
    }
}

void Form2::Label1_Click(int index) {
    if (index >= 0 && index < form2::caption_count) ports_.notice.Show();
}

void Form2::Command1_Click() {
    // Rows in use: from row 0 up to the first empty time box. A time box of
    // nothing but spaces would store a blank time, so it counts as empty.
    int count = 0;
    while (count < form2::row_count && !trim_spaces(text1_[count]).empty()) ++count;
    int dropped = 0;
    for (int i = count + 1; i < form2::row_count; ++i)
        if (!trim_spaces(text1_[i]).empty()) ++dropped;

    // One change of the file for the whole save: a crash part-way through
    // leaves the rows as they were, never half of them.
    XieRuINIBatch save({ports_.profile, ports_.boxes}, g_.settings_path());
    g_.NaoLingShu = static_cast<std::int16_t>(count);
    save.add(ini::naoling::section, ini::naoling::NaoLingShu0, std::to_string(count));
    for (int i = 0; i < count; ++i) {
        AlarmRow& row = g_.NaoLingBiao[static_cast<std::size_t>(i)];
        row = {trim_spaces(text1_[i]), trim_spaces(combo1_[i]), trim_spaces(text2_[i])};
        save.add(ini::naoling::section, ini::naoling::time_key(i), row.time);
        save.add(ini::naoling::section, ini::naoling::sound_key(i), row.sound);
        save.add(ini::naoling::section, ini::naoling::notice_key(i), row.notice);
    }
    if (count == form2::row_count) {
        save.commit();
        message_ = form2::saved_message;
        return;
    }
    // Rows below an empty time box are not kept; the user hears of it before
    // they go, and the boxes still show them until the dialog is closed.
    if (dropped > 0)
        message_ = (count > 0 ? std::string(form2::saved_message) + "但" : std::string()) +
                   dropped_rows_text(count + 1, dropped);
    else
        message_ = count > 0 ? form2::saved_message : form2::nothing_saved_message;
    for (int i = count; i < form2::row_count; ++i) {
        save.add(ini::naoling::section, ini::naoling::time_key(i), "");
        save.add(ini::naoling::section, ini::naoling::sound_key(i), "");
        save.add(ini::naoling::section, ini::naoling::notice_key(i), "");
        g_.NaoLingBiao[static_cast<std::size_t>(i)] = {};
    }
    save.commit();
}

}  // namespace tockly
