// The small interfaces through which the portable clock code reaches the
// platform. Each is named after what the behaviour needs, not after an API;
// the Windows adapters live in clock/windows, the fakes in the tests.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "clock/support/twips_scale.h"

namespace tockly {

// Text inside the portable code is UTF-8. Paths use backslashes, as the
// program builds them ("Voice\NaoLing\" & name).

// One value of a profile (INI) file, through the platform's profile functions.
struct ProfileRead {
    bool failed = false;   // the platform call itself raised an error
    std::string value;     // up to the first NUL; empty for a missing key
};

// One value of a change made of several.
struct ProfileWrite {
    std::string section, key, value;
};

class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    virtual ProfileRead read(std::string_view section, std::string_view key,
                             std::string_view path) = 0;
    // False when the value could not be written (a read-only file or
    // folder, a full disk); the file is then as it was.
    virtual bool write(std::string_view section, std::string_view key,
                       std::string_view value, std::string_view path) = 0;
    // Several values as one change of the file: whoever looks at the file
    // (or finds it after a crash) sees all of them or none. A store that
    // cannot do better writes them one by one.
    virtual bool write_all(std::span<const ProfileWrite> writes, std::string_view path) {
        for (const ProfileWrite& w : writes)
            if (!write(w.section, w.key, w.value, path)) return false;
        return true;
    }
};

enum class MessageIcon { none, information, warning };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(std::string_view text, std::string_view title, MessageIcon icon) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The name the file-system search returns for a path (the stored letter
    // case), or nothing when the path names no file.
    virtual std::optional<std::string> find_name(std::string_view path) = 0;
    virtual std::optional<std::string> read_bytes(std::string_view path) = 0;
    virtual bool write_bytes(std::string_view path, std::string_view bytes) = 0;
    // Writes beside the file and then swaps it in, so the old content stays
    // whole when anything fails on the way.
    virtual bool replace_atomically(std::string_view path, std::string_view bytes) = 0;
    // Whether a replace of the file could succeed where it is now: the folder
    // takes a new file and the file is not read-only.
    virtual bool can_replace(std::string_view path) = 0;
    // The current user's temporary folder, ending in a backslash.
    virtual std::string temp_folder() = 0;
};

// Text conversion between UTF-8 and the system's ANSI code page (GBK on a
// Chinese system), for the files the platform reads in ANSI.
class AnsiCodec {
public:
    virtual ~AnsiCodec() = default;
    virtual std::string to_ansi(std::string_view utf8) = 0;
    virtual std::string from_ansi(std::string_view ansi) = 0;
};

// Embedded resources of the program, read by type name and number.
class Resources {
public:
    virtual ~Resources() = default;
    virtual std::optional<std::string> load(std::string_view type, int number) = 0;
};

struct ScreenMetrics {
    int width_twips = 15360;
    int height_twips = 11520;
    int dpi = 96;  // twips per pixel = 1440 / dpi: 15 at 96, 7.5 at 192
    int work_area_bottom_px = 768;
    TwipsScale scale() const { return {dpi}; }
};

}  // namespace tockly
