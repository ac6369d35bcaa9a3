// The settings file through the ANSI profile functions.
#pragma once

#include <windows.h>

#include "clock/support/ports.h"

namespace tockly::win {

// Values in the ANSI code page, with the 255-character read buffer of the
// settings file; the file's path may hold any character (reads and writes go
// through the wide profile calls). Every change replaces the file whole
// (settings_replace.h) and says whether it did.
class Win32ProfileStore : public ProfileStore {
public:
    ProfileRead read(std::string_view section, std::string_view key, std::string_view path) override;
    bool write(std::string_view section, std::string_view key, std::string_view value,
               std::string_view path) override;
    bool write_all(std::span<const ProfileWrite> writes, std::string_view path) override;
};

}  // namespace tockly::win
