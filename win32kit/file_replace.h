// Writing a file by replacing it whole: the new content goes to a file
// beside it, is pushed to the disk and then moved over the old one in one
// step, so a crash, a full disk or a folder that cannot be written leaves
// the old file as it was. Every file the programs write goes this way.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace win32kit {

// Where the new content is prepared: the file's own path with ".tmp" added.
std::wstring replacement_path(const std::wstring& path);

// `fill` writes the new content into the replacement file (it starts out
// absent). Then that file is flushed and moved over `path`. False, with
// `path` untouched and no replacement left behind, when `path` is
// read-only (as Windows keeps such files) or when any step fails.
bool replace_file(const std::wstring& path, const std::function<bool(const std::wstring& replacement)>& fill);

// The same with the whole new content at hand.
bool replace_file(const std::wstring& path, std::string_view bytes);

// Writes a new file (or truncates one) with `bytes`; no flush, no replace.
// The building block of `fill` functions.
bool write_new_file(const std::wstring& path, std::string_view bytes);

// Whether a replace of `path` can succeed here: a file can be created
// beside it and `path` is not read-only. Leaves nothing behind.
bool can_replace_file(const std::wstring& path);

}  // namespace win32kit
