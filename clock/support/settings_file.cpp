#include "settings_file.h"

#include <climits>

namespace tockly {

std::string trim_spaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string DuQuINI(SettingsAccess io, std::string_view section, std::string_view key,
                    std::string_view file) {
    const ProfileRead got = io.profile.read(section, key, file);
    if (got.failed) {
        io.boxes.show("读取文件“" + std::string(file) + "”时出错", warning_title,
                      MessageIcon::none);
        return {};
    }
    return got.value;
}

bool XieRuINI(SettingsAccess io, std::string_view section, std::string_view key,
              std::string_view value, std::string_view file) {
    std::string stored(value);
    if (trim_spaces(stored).empty()) stored = " ";
    const auto refuse = [&] {
        io.boxes.show("写入文件“" + std::string(file) + "”时出错", warning_title,
                      MessageIcon::none);
        return false;
    };
    if (trim_spaces(key).empty() || trim_spaces(section).empty() || trim_spaces(file).empty())
        return refuse();
    if (!io.profile.write(section, key, stored, file)) return refuse();
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
