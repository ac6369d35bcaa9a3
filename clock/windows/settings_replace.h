// The settings file changed only by replacing it whole. The profile
// functions rewrite a file in place (truncate, then write), so a crash in
// the middle of a write used to leave an empty or half file; here every
// change goes to a copy beside the file, which is swapped in once complete.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "clock/support/ports.h"
#include "clock/windows/profile_store.h"

namespace tockly::win {

// The copy a change is made in: the file's own path with ".tmp" added.
std::string replacement_path(std::string_view path);

// Applies the writes with WritePrivateProfileStringA to a copy of the file
// (so the bytes are exactly what the platform writes), flushes the copy and
// moves it over the file in one step. The file itself is never opened for
// writing. A read-only file, or one that cannot be copied, stays as it is,
// without a word, as the profile functions themselves behave.
void replace_profile_values(std::span<const ProfileWrite> writes, std::string_view path);

// A copy left behind by a crash half-way through a change; removed at start.
void remove_leftover_replacement(std::string_view path);

// The clock's profile store: reads through the platform, every change a
// whole-file replace.
class ReplacingProfileStore : public Win32ProfileStore {
public:
    bool write(std::string_view section, std::string_view key, std::string_view value,
               std::string_view path) override;
    bool write_all(std::span<const ProfileWrite> writes, std::string_view path) override;
};

}  // namespace tockly::win
