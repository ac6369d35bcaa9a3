#include "clock/model/alarm_dialog_model.h"

#include <algorithm>
#include <utility>

#include "clock/support/clock_files.h"
#include "clock/support/settings_file.h"
#include "clock/support/settings_keys.h"
#include "lunar/core/lunar_calendar.h"

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

using alarm_dialog_design::rule_choices;

std::string rule_box_text(std::string_view stored) {
    const auto rule = lunar::ParseRepeatRule(stored);
    return rule ? rule_display_text(*rule) : trim_spaces(stored);
}

std::optional<lunar::RepeatRule> rule_of_box_text(std::string_view text, std::string* why) {
    return rule_of_display_text(text, why);
}

AlarmDialog::AlarmDialog(AlarmDialogPorts ports, ClockGlobals& globals) : ports_(ports), g_(globals) {
    rules_.fill(std::string(rule_choices[0]));
}

std::chrono::sys_days AlarmDialog::today() const {
    const LocalTime now = ports_.clock ? ports_.clock->now() : LocalTime{};
    return std::chrono::sys_days{std::chrono::year{now.year} / std::chrono::month{now.month} / std::chrono::day{now.day}};
}

bool AlarmDialog::rule_readable(int row) const {
    return rule_of_box_text(rules_.at(static_cast<std::size_t>(row))).has_value();
}

void AlarmDialog::rule_box_changed(int row) {
    std::string why;
    const auto rule = rule_of_box_text(rules_[static_cast<std::size_t>(row)], &why);
    if (!rule) {
        message_ = "第" + std::to_string(row + 1) + std::string(alarm_dialog_design::unreadable_rule_message) + why;
        return;
    }
    message_ = "第" + std::to_string(row + 1) + "行：" + lunar::RepeatRuleLabel(*rule);
    try {
        const auto next = lunar::NextRuleDay(*rule, today(), g_.work_calendar);
        message_ += next ? "，最近一次 " + lunar::IsoDateText(std::chrono::year_month_day{*next}) : "，不再响铃";
    } catch (const std::exception&) {
    }
}

void AlarmDialog::rule_picked(int row, std::string_view picked) {
    if (row < 0 || row >= alarm_dialog_design::row_count) return;
    const auto choice = static_cast<int>(std::find(rule_choices.begin(), rule_choices.end(), picked) - rule_choices.begin());
    const Box box{Control::rule_box, row};
    if (!choice_opens_picker(choice)) {
        set_text(box, picked);
        rule_box_changed(row);
        return;
    }
    // The picker starts from the row's rule when it is of the same kind.
    RepeatPicker picker(static_cast<lunar::RepeatKind>(choice), rule_of_box_text(rules_[static_cast<std::size_t>(row)]),
                        today(), g_.work_calendar);
    // Cancelled: the box keeps its rule, an unreadable one included.
    if (ports_.rule_picker && !ports_.rule_picker->run(picker)) return;
    const auto rule = picker.rule();
    if (!rule) return;
    set_text(box, rule_display_text(*rule));
    rule_box_changed(row);
}

std::string AlarmDialog::read(std::string_view section, std::string_view key) const {
    return trim_spaces(read_setting({ports_.profile, ports_.boxes}, section, key, g_.settings_path()));
}

void AlarmDialog::write(std::string_view section, std::string_view key, std::string_view value) {
    write_setting({ports_.profile, ports_.boxes}, section, key, value, g_.settings_path());
}

std::string AlarmDialog::voice_folder(std::string_view sub) const {
    // The sub-folder names end in a backslash; the file lists take the folder without it.
    std::string folder = g_.program_folder + std::string(sub);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

bool AlarmDialog::valid_time(std::string_view text) const {
    return !text.empty() && parse_time_of_day(text, ports_.time_format).has_value();
}

std::string& AlarmDialog::slot(Box box) {
    const auto i = static_cast<std::size_t>(box.index);
    switch (box.control) {
    case Control::time_box: return times_.at(i);
    case Control::sound_box: return sounds_.at(i);
    case Control::notice_box: return notices_.at(i);
    case Control::shutdown_box: return shutdown_;
    case Control::start_time_box: return start_time_;
    case Control::start_target_box: return start_target_;
    case Control::skin_box: return skin_;
    case Control::rule_box: return rules_.at(i);
    }
    return shutdown_;
}

const std::string& AlarmDialog::text(Box box) const { return const_cast<AlarmDialog*>(this)->slot(box); }

bool AlarmDialog::enabled(Box box) const {
    switch (box.control) {
    case Control::time_box:
    case Control::notice_box:
    case Control::rule_box: return row_available(box.index);
    case Control::sound_box: return box.index == alarm_dialog_design::ticking_box || row_available(box.index);
    default: return true;
    }
}

const std::vector<std::string>& AlarmDialog::list(Box box) const {
    static const std::vector<std::string> none;
    static const std::vector<std::string> rules(rule_choices.begin(), rule_choices.end());
    if (box.control == Control::skin_box) return skins_;
    if (box.control == Control::rule_box) return rules;
    if (box.control != Control::sound_box) return none;
    return box.index == alarm_dialog_design::ticking_box ? ticking_sounds_ : alarm_sounds_;
}

std::vector<AlarmDialogRequest> AlarmDialog::take_requests() { return std::exchange(requests_, {}); }

void AlarmDialog::set_text(Box box, std::string_view text) {
    std::string& current = slot(box);
    // A box raises its change event only when its text really changes.
    if (current == text) return;
    current = std::string(text);
    if (box.control == Control::time_box) time_box_changed(box.index);
}

void AlarmDialog::edited(Box box, std::string_view text) {
    set_text(box, text);
    if (box.control == Control::rule_box) rule_box_changed(box.index);
}

void AlarmDialog::load() {
    // The file lists of the three Voice sub-folders; a missing folder lists nothing.
    alarm_sounds_ = list_files(ports_.folders, voice_folder(voice::alarm_folder), "mp3");
    ticking_sounds_ = list_files(ports_.folders, voice_folder(voice::ticking_folder), "wav");
    const auto skin_files = list_files(ports_.folders, voice_folder(voice::skin_folder), "gif");
    ++lists_version_;

    // Clearing a list clears the box's text as well.
    for (int i = 0; i < alarm_dialog_design::row_count; ++i) sounds_[i].clear();
    sounds_[alarm_dialog_design::ticking_box] = ticking_sounds_.empty() ? std::string() : ticking_sounds_.front();

    skins_.assign(std::begin(clock_design::built_in_skin_names), std::end(clock_design::built_in_skin_names));
    skin_.clear();
    if (!skin_files.empty()) {
        skins_.insert(skins_.end(), skin_files.begin(), skin_files.end());
        skin_ = skin_files.front();
    }
    skin_ = read(ini::PiFu::section, ini::PiFu::pifu0);

    // The stored rows, up to the first blank time; the stored count is not asked.
    for (int i = 0; i < alarm_dialog_design::row_count; ++i) {
        const std::string time = read(ini::naoling::section, ini::naoling::time_key(i));
        if (time.empty()) break;
        AlarmRow& row = g_.alarms[static_cast<std::size_t>(i)];
        row.time = time;
        row.sound = read(ini::naoling::section, ini::naoling::sound_key(i));
        row.notice = read(ini::naoling::section, ini::naoling::notice_key(i));
        row.rule = read(ini::naoling::section, ini::naoling::rule_key(i));
        set_text({Control::time_box, i}, row.time);
        set_text({Control::sound_box, i}, row.sound);
        set_text({Control::notice_box, i}, row.notice);
        set_text({Control::rule_box, i}, rule_box_text(row.rule));
        // A rule it cannot read rings daily; the row says so at once.
        if (!rule_readable(i)) rule_box_changed(i);
    }

    sounds_[alarm_dialog_design::ticking_box] = read(ini::mts::section, ini::mts::fatiaosheng0);
    set_text({Control::shutdown_box}, g_.shutdown_time);
    g_.start_time = read(ini::QiDong::section, ini::QiDong::QDShiJian);
    g_.start_target = read(ini::QiDong::section, ini::QiDong::QDneirong);
    set_text({Control::start_time_box}, g_.start_time);
    set_text({Control::start_target_box}, g_.start_target);

    // Rows up to the first one without a valid time are open; the first such
    // row is where the next alarm goes, the rows below it are emptied and locked.
    int first = 0;
    while (first < alarm_dialog_design::row_count && valid_time(times_[first])) ++first;
    for (int i = 0; i < alarm_dialog_design::row_count; ++i) available_[i] = i <= first;
    for (int i = first + 1; i < alarm_dialog_design::row_count; ++i) {
        set_text({Control::time_box, i}, "");
        set_text({Control::notice_box, i}, "");
        set_text({Control::sound_box, i}, "");
        set_text({Control::rule_box, i}, rule_choices[0]);
        available_[i] = false;
    }
}

void AlarmDialog::time_box_changed(int row) {
    // The tenth row has no row below it.
    if (row >= alarm_dialog_design::row_count - 1) return;
    if (valid_time(times_[row])) {
        available_[row + 1] = true;
    } else {
        for (int i = row + 1; i < alarm_dialog_design::row_count; ++i) available_[i] = false;
    }
}

void AlarmDialog::hold_focus(Box box) {
    message_ = alarm_dialog_design::bad_time_message;
    request(AlarmDialogRequest::select_all, box);
    request(AlarmDialogRequest::focus, box);
}

void AlarmDialog::time_box_lost_focus(int row) {
    // The tenth row's time is neither converted nor checked.
    if (row >= alarm_dialog_design::row_count - 1) return;
    if (times_[row].empty()) return;
    const auto converted = normalise_time_text(times_[row], ports_.time_format);
    if (!converted) {
        hold_focus({Control::time_box, row});
        return;
    }
    set_text({Control::time_box, row}, *converted);
    if (notices_[row].empty()) set_text({Control::notice_box, row}, *converted);
}

void AlarmDialog::single_time_lost_focus(Box box, std::string_view section, std::string_view key,
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

void AlarmDialog::shutdown_box_lost_focus() {
    single_time_lost_focus({Control::shutdown_box}, ini::GuanJi::section, ini::GuanJi::GjShiJian, g_.shutdown_time);
}

void AlarmDialog::start_time_box_lost_focus() {
    single_time_lost_focus({Control::start_time_box}, ini::QiDong::section, ini::QiDong::QDShiJian, g_.start_time);
}

void AlarmDialog::got_focus(Box box) {
    switch (box.control) {
    case Control::time_box:
    case Control::notice_box:
    case Control::shutdown_box:
    case Control::start_time_box: request(AlarmDialogRequest::select_all, box); break;
    default: break;
    }
}

void AlarmDialog::key_press(Box box, int& key_ascii) {
    if (key_ascii != alarm_dialog_design::enter_key) return;
    std::optional<Box> next;
    switch (box.control) {
    case Control::time_box: next = Box{Control::sound_box, box.index}; break;
    case Control::sound_box:
        // The ticking-sound box has no notice box; Enter goes on to the shutdown time below it.
        next = box.index == alarm_dialog_design::ticking_box ? Box{Control::shutdown_box} : Box{Control::notice_box, box.index};
        break;
    case Control::notice_box:
        if (box.index < alarm_dialog_design::row_count - 1 && row_available(box.index + 1))
            next = Box{Control::time_box, box.index + 1};
        else
            next = Box{Control::time_box, 0};
        break;
    case Control::start_time_box: next = Box{Control::start_target_box}; break;
    default: return;
    }
    key_ascii = 0;
    request(AlarmDialogRequest::focus, *next);
}

void AlarmDialog::sound_picked(int index, std::string_view picked) {
    if (index < 0 || index > alarm_dialog_design::ticking_box) return;
    sounds_[index] = std::string(picked);
    if (picked.find(' ') != std::string_view::npos) {
        const bool ticking = index == alarm_dialog_design::ticking_box;
        const std::string folder = voice_folder(ticking ? voice::ticking_folder : voice::alarm_folder);
        const RenamePass pass =
            remove_spaces_from_names(ports_.folders, folder, ticking ? ticking_sounds_ : alarm_sounds_);
        load();
        // A name the system would not rename comes back in the list; say why
        // picking it does nothing.
        const auto& now_listed = ticking ? ticking_sounds_ : alarm_sounds_;
        if (std::find(pass.refused.begin(), pass.refused.end(), picked) != pass.refused.end() &&
            std::find(now_listed.begin(), now_listed.end(), picked) != now_listed.end())
            message_ = refused_rename_text(picked);
        return;
    }
    if (index == alarm_dialog_design::ticking_box) {
        write(ini::mts::section, ini::mts::fatiaosheng0, picked);
        g_.ticking_sound = std::string(picked);
    }
}

void AlarmDialog::skin_picked(std::string_view picked) {
    skin_ = std::string(picked);
    const std::string name = trim_spaces(picked);
    write(ini::PiFu::section, ini::PiFu::pifu0, name);
    const auto* built_in = std::find(std::begin(clock_design::built_in_skin_names),
                                     std::end(clock_design::built_in_skin_names), name);
    if (built_in != std::end(clock_design::built_in_skin_names)) {
        const auto number = static_cast<std::int16_t>(clock_design::built_in_skin_first_resource +
                                                      (built_in - std::begin(clock_design::built_in_skin_names)));
        g_.skin_path = extract_resource(ports_.resources, ports_.files, number, "gif");
    } else {
        g_.skin_path = g_.program_folder + std::string(voice::skin_folder) + name;
    }
    // A file that is not a picture leaves the face as it was (load_skin says no).
    if (ports_.files.find_name(g_.skin_path)) ports_.face.load_skin(g_.skin_path);
}

void AlarmDialog::start_target_click() {
    request(AlarmDialogRequest::select_all, {Control::start_target_box});
    const std::string chosen =
        ports_.file_dialog.open(alarm_dialog_design::picker_title, alarm_dialog_design::picker_filter, alarm_dialog_design::picker_filter_index);
    if (!trim_spaces(chosen).empty()) {
        set_text({Control::start_target_box}, chosen);
        write(ini::QiDong::section, ini::QiDong::QDneirong, chosen);
        g_.start_target = chosen;
    } else {
        // Cancelling is how the scheduled program is taken away.
        set_text({Control::start_target_box}, "");
        write(ini::QiDong::section, ini::QiDong::QDneirong, "");
        g_.start_target.clear();
    }
}

void AlarmDialog::caption_click(int index) {
    if (index >= 0 && index < alarm_dialog_design::caption_count) ports_.notice.Show();
}

void AlarmDialog::save() {
    // Rows in use: from row 0 up to the first empty time box. A time box of
    // nothing but spaces would store a blank time, so it counts as empty.
    int count = 0;
    while (count < alarm_dialog_design::row_count && !trim_spaces(times_[count]).empty()) ++count;
    int dropped = 0;
    for (int i = count + 1; i < alarm_dialog_design::row_count; ++i)
        if (!trim_spaces(times_[i]).empty()) ++dropped;

    // One change of the file for the whole save: a crash part-way through
    // leaves the rows as they were, never half of them.
    SettingsBatch save({ports_.profile, ports_.boxes}, g_.settings_path());
    g_.alarm_count = static_cast<std::int16_t>(count);
    save.add(ini::naoling::section, ini::naoling::NaoLingShu0, std::to_string(count));
    for (int i = 0; i < count; ++i) {
        AlarmRow& row = g_.alarms[static_cast<std::size_t>(i)];
        // An unreadable rule is kept as typed (it rings daily, and the row
        // shows it again next time), never dropped.
        const auto rule = rule_of_box_text(rules_[i]);
        row = {trim_spaces(times_[i]), trim_spaces(sounds_[i]), trim_spaces(notices_[i]),
               rule ? lunar::RepeatRuleText(*rule) : trim_spaces(rules_[i])};
        save.add(ini::naoling::section, ini::naoling::time_key(i), row.time);
        save.add(ini::naoling::section, ini::naoling::sound_key(i), row.sound);
        save.add(ini::naoling::section, ini::naoling::notice_key(i), row.notice);
        save.add(ini::naoling::section, ini::naoling::rule_key(i), row.rule);
    }
    ++g_.alarms_version;
    std::string unreadable;
    for (int i = 0; i < count && unreadable.empty(); ++i)
        if (!rule_readable(i)) unreadable = "第" + std::to_string(i + 1) + "行的重复规则看不懂，按每天响铃";
    if (count == alarm_dialog_design::row_count) {
        message_ = save.commit() ? std::string(alarm_dialog_design::saved_message) + unreadable
                                 : std::string(alarm_dialog_design::not_saved_message);
        return;
    }
    // Rows below an empty time box are not kept; the user hears of it before
    // they go, and the boxes still show them until the dialog is closed.
    if (dropped > 0)
        message_ = (count > 0 ? std::string(alarm_dialog_design::saved_message) + "但" : std::string()) +
                   dropped_rows_text(count + 1, dropped);
    else
        message_ = count > 0 ? alarm_dialog_design::saved_message : alarm_dialog_design::nothing_saved_message;
    message_ += unreadable;
    for (int i = count; i < alarm_dialog_design::row_count; ++i) {
        save.add(ini::naoling::section, ini::naoling::time_key(i), "");
        save.add(ini::naoling::section, ini::naoling::sound_key(i), "");
        save.add(ini::naoling::section, ini::naoling::notice_key(i), "");
        save.add(ini::naoling::section, ini::naoling::rule_key(i), "");
        g_.alarms[static_cast<std::size_t>(i)] = {};
    }
    if (!save.commit()) message_ = alarm_dialog_design::not_saved_message;
}

}  // namespace tockly
