// Reading and writing one value of the settings file, the small text rules
// every reader of a value follows, and what the clock says when the file
// cannot be saved where it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "clock/support/ports.h"

namespace tockly {

struct SettingsAccess {
    ProfileStore& profile;
    MessageBoxes& boxes;
};

inline constexpr std::string_view warning_title = "警 告";

// The stored text, or empty when the file, the section or the key is missing.
std::string read_setting(SettingsAccess io, std::string_view section, std::string_view key,
                    std::string_view file);

// Writes one value at once; an empty or all-space value is stored as one
// space. False (after a message box) for an empty section, key or path.
bool write_setting(SettingsAccess io, std::string_view section, std::string_view key,
              std::string_view value, std::string_view file);

// Values saved together (the dialog's save button, a menu item that sets
// two keys): each follows write_setting's rules, and commit() hands them all to
// the platform as one change of the file, so a crash cannot leave half a save.
class SettingsBatch {
public:
    SettingsBatch(SettingsAccess io, std::string_view file) : io_(io), file_(file) {}
    void add(std::string_view section, std::string_view key, std::string_view value);
    // False (after one message box, nothing written) when a section, key or
    // the path is empty, or when the store raised an error.
    bool commit();

private:
    SettingsAccess io_;
    std::string file_;
    std::vector<ProfileWrite> writes_;
    bool refused_ = false;
};

// Where the settings cannot be saved (a folder that takes no new file, as
// under Program Files or on read-only media, or a read-only settings file)
// the clock runs all the same and says so once, at start, in a box with
// this title and text, naming the file.
inline constexpr std::string_view cannot_save_title = "Tockly提示您";
std::string cannot_save_text(std::string_view settings_path);

// Shows that box when the settings file cannot be replaced where it is;
// true when it did. Each failed save still shows its own error.
bool tell_if_settings_cannot_be_saved(FileSystem& files, MessageBoxes& boxes, std::string_view settings_path);

// Removes spaces (only the space character) from both ends.
std::string trim_spaces(std::string_view text);

// A flag is on unless its stored text is exactly "0".
inline bool flag_on(std::string_view stored) { return stored != "0"; }
// The automatic-correction flag is on only for exactly "1".
inline bool flag_on_only_for_one(std::string_view stored) { return stored == "1"; }

// The numeric value of a text, read as far as it is a number: leading spaces,
// an optional sign, digits ("3" -> 3, "12ab" -> 12, "abc" -> 0). Values too
// large for the 16-bit count saturate instead of failing.
int numeric_value(std::string_view text);

}  // namespace tockly
