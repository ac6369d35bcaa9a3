// The files the clock writes besides its settings: the shutdown batch file,
// the start-up tidy of the settings file, embedded resources copied to files;
// and the height of the strip below the work area.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "clock/support/ports.h"

namespace tockly {

// The tidied form of a settings file: blank lines dropped, spaces trimmed
// from both ends of every line, every line ended by CR LF. Works on the raw
// ANSI bytes (a space, CR or LF is never part of a GBK double-byte).
std::string tidy_settings_text(std::string_view ansi);

// Tidies the settings file in place. The new text is written beside the file
// and swapped in, so a crash or a full disk leaves the old file whole.
// Returns false when the file could not be read or replaced (it is unchanged).
bool tidy_settings_file(FileSystem& files, std::string_view path);

inline constexpr std::string_view shutdown_batch_name = "CloseWindos.bat";

// The two lines of the shutdown batch file, as UTF-8 text.
std::string shutdown_batch_text(std::int32_t seconds);

// Writes program_folder & "CloseWindos.bat" in the ANSI code page. False when
// the file could not be written (then no shutdown can be started).
bool write_shutdown_batch(FileSystem& files, AnsiCodec& codec, std::string_view program_folder,
                  std::int32_t seconds);

// Copies the embedded resource to the one temporary file of its type (in the
// current user's temporary folder, "temp." & type) and returns that path.
// Errors are not reported: the caller then finds a missing or stale file.
std::string extract_resource(Resources& resources, FileSystem& files, std::int16_t number,
                          std::string_view type);

// The height in twips of the screen strip below the desktop work area (the
// taskbar's height when it sits at the bottom).
std::int16_t taskbar_height(const ScreenMetrics& screen);

}  // namespace tockly
