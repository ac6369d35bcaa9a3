// The settings file changed only by replacing it whole. The profile
// functions rewrite a file in place (truncate, then write), so a crash in
// the middle of a write used to leave an empty or half file; here every
// change goes to a copy beside the file, which is swapped in once complete.
#pragma once

#include <span>
#include <string_view>

#include "clock/support/ports.h"

namespace tockly::win {

// Applies the writes with WritePrivateProfileStringA to a copy of the file
// (so the bytes are exactly what the platform writes) and puts the copy in
// the file's place through win32kit::replace_file. False when the file
// could not be replaced (read-only, a folder that takes no new file, a full
// disk): the file is then as it was.
bool replace_profile_values(std::span<const ProfileWrite> writes, std::string_view path);

// A copy left behind by a crash half-way through a change; removed at start.
void remove_leftover_replacement(std::string_view path);

}  // namespace tockly::win
