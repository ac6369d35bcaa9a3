// The file system through the wide-character Windows APIs. Every file the
// clock writes (the settings, the shutdown batch, the resources it plays or
// shows from a file) is replaced whole through win32kit's replace routine.
#pragma once

#include <windows.h>

#include "clock/support/ports.h"

namespace tockly::win {

class Win32FileSystem : public FileSystem {
public:
    std::optional<std::string> find_name(std::string_view path) override;
    std::optional<std::string> read_bytes(std::string_view path) override;
    bool write_bytes(std::string_view path, std::string_view bytes) override;
    bool replace_atomically(std::string_view path, std::string_view bytes) override;
    bool can_replace(std::string_view path) override;
    std::string temp_folder() override;
};

}  // namespace tockly::win
