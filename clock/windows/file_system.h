// The file system through the wide-character Windows APIs, and the facts of
// the machine the clock runs on: its folder, the screen, the regional time
// format.
#pragma once

#include <windows.h>

#include "clock/support/ports.h"
#include "clock/support/time_text.h"

namespace tockly::win {

class Win32FileSystem : public FileSystem {
public:
    std::optional<std::string> find_name(std::string_view path) override;
    std::optional<std::string> read_bytes(std::string_view path) override;
    bool write_bytes(std::string_view path, std::string_view bytes) override;
    bool replace_atomically(std::string_view path, std::string_view bytes) override;
    std::string temp_folder() override;
};

ScreenMetrics screen_metrics();
TimeFormat regional_time_format();
// The folder of the running executable, without a final backslash unless it is a root.
std::string program_folder();

}  // namespace tockly::win
