// What the platform's profile functions make of a settings file's bytes, for
// the fuzz targets. The clock never parses the file itself
// (GetPrivateProfileString does), so this only has to be close enough to feed
// the clock's own readers the values a hand-edited file can give them.
#pragma once

#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_support.h"
#include "tests/host/clock/fakes.h"

namespace tockly::fuzz {

inline std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Sections in brackets, "key=value" lines, blanks around names and values
// dropped, one pair of quotes around a value dropped, the first of repeated
// keys kept, values cut at the 254 bytes the clock's read buffer holds.
inline void load_profile_text(test::FakeProfile& profile, std::string_view path, std::string_view text) {
    std::string section;
    bool in_section = false;
    while (!text.empty()) {
        auto end = text.find_first_of("\r\n");
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trim_blanks(text.substr(0, end));
        text.remove_prefix(end == text.size() ? end : end + 1);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            const auto close = line.rfind(']');
            section = std::string(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            in_section = true;
            continue;
        }
        if (!in_section) continue;
        const auto equals = line.find('=');
        const std::string_view key = trim_blanks(line.substr(0, equals));
        std::string_view value = equals == std::string_view::npos ? std::string_view() : trim_blanks(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        const std::string id = test::FakeProfile::id(path, gbk_to_utf8(section), gbk_to_utf8(key));
        if (!profile.values.count(id)) profile.values[id] = gbk_to_utf8(value.substr(0, 254));
    }
}

}  // namespace tockly::fuzz
