// Embedded resources (GIF, WAV) of a module, as bytes; and the ANSI code page
// the clock's files and commands are written in.
#pragma once

#include <windows.h>

#include "clock/support/ports.h"

namespace tockly::win {

// Resources of a module (the running program by default), language 2052 first.
class Win32Resources : public Resources {
public:
    explicit Win32Resources(HMODULE module = nullptr) : module_(module) {}
    std::optional<std::string> load(std::string_view type, int number) override;
private:
    HMODULE module_;
};

class Win32AnsiCodec : public AnsiCodec {
public:
    std::string to_ansi(std::string_view utf8) override;
    std::string from_ansi(std::string_view ansi) override;
};

}  // namespace tockly::win
