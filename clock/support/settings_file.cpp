#include "clock/support/settings_file.h"

#include <climits>
#include <utility>

namespace tockly {

std::string trim_spaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string read_setting(SettingsAccess io, std::string_view section, std::string_view key,
                    std::string_view file) {
    const ProfileRead got = io.profile.read(section, key, file);
    if (got.failed) {
        io.boxes.show("读取文件“" + std::string(file) + "”时出错", warning_title,
                      MessageIcon::none);
        return {};
    }
    return got.value;
}

namespace {

// An empty or all-space value is stored as one space.
std::string stored_value(std::string_view value) {
    return trim_spaces(value).empty() ? std::string(" ") : std::string(value);
}

bool names_given(std::string_view section, std::string_view key, std::string_view file) {
    return !trim_spaces(key).empty() && !trim_spaces(section).empty() && !trim_spaces(file).empty();
}

bool refuse(SettingsAccess io, std::string_view file) {
    io.boxes.show("写入文件“" + std::string(file) + "”时出错", warning_title, MessageIcon::none);
    return false;
}

}  // namespace

bool write_setting(SettingsAccess io, std::string_view section, std::string_view key,
              std::string_view value, std::string_view file) {
    if (!names_given(section, key, file)) return refuse(io, file);
    if (!io.profile.write(section, key, stored_value(value), file)) return refuse(io, file);
    return true;
}

void SettingsBatch::add(std::string_view section, std::string_view key, std::string_view value) {
    if (!names_given(section, key, file_)) refused_ = true;
    writes_.push_back({std::string(section), std::string(key), stored_value(value)});
}

bool SettingsBatch::commit() {
    std::vector<ProfileWrite> writes = std::move(writes_);
    writes_.clear();
    if (std::exchange(refused_, false)) return refuse(io_, file_);
    if (writes.empty()) return true;
    if (!io_.profile.write_all(writes, file_)) return refuse(io_, file_);
    return true;
}

std::string cannot_save_text(std::string_view settings_path) {
    return "Tockly不能在这里保存设置：\r\n" + std::string(settings_path) +
           "\r\n这个文件夹不允许写入，或者这个文件是只读的。\r\n\r\n"
           "闹钟照常运行，但您在菜单和闹铃设置里做的更改，退出后都不会保留。\r\n\r\n"
           "请把整个Tockly文件夹移到可以写入的地方（例如 C:\\Tockly 或 D:\\Tockly，不要放在 C:\\Program Files 里），"
           "再从那里启动Tockly.exe；如果只是这个文件被设成了只读，请去掉它的只读属性。";
}

bool tell_if_settings_cannot_be_saved(FileSystem& files, MessageBoxes& boxes, std::string_view settings_path) {
    if (files.can_replace(settings_path)) return false;
    boxes.show(cannot_save_text(settings_path), cannot_save_title, MessageIcon::warning);
    return true;
}

int numeric_value(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        any = true;
        if (value < INT_MAX) value = value * 10 + (text[i] - '0');
    }
    if (!any) return 0;
    if (value > SHRT_MAX) value = SHRT_MAX;
    return negative ? -static_cast<int>(value) : static_cast<int>(value);
}

}  // namespace tockly
