// The clock's ports implemented with the real Windows APIs.
#pragma once

#include <windows.h>

#include "ports.h"
#include "time_text.h"

namespace tockly::win {

// GetPrivateProfileStringA / WritePrivateProfileStringA in the ANSI code page,
// with the 255-character read buffer of the settings file.
class Win32ProfileStore : public ProfileStore {
public:
    ProfileRead read(std::string_view section, std::string_view key, std::string_view path) override;
    bool write(std::string_view section, std::string_view key, std::string_view value,
               std::string_view path) override;
};

class Win32MessageBoxes : public MessageBoxes {
public:
    explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
    void set_owner(HWND owner) { owner_ = owner; }
    void show(std::string_view text, std::string_view title, MessageIcon icon) override;
private:
    HWND owner_;
};

class Win32FileSystem : public FileSystem {
public:
    std::optional<std::string> find_name(std::string_view path) override;
    std::optional<std::string> read_bytes(std::string_view path) override;
    bool write_bytes(std::string_view path, std::string_view bytes) override;
    bool replace_atomically(std::string_view path, std::string_view bytes) override;
    std::string temp_folder() override;
};

class Win32AnsiCodec : public AnsiCodec {
public:
    std::string to_ansi(std::string_view utf8) override;
    std::string from_ansi(std::string_view ansi) override;
};

// Resources of a module (the running program by default), language 2052 first.
class Win32Resources : public Resources {
public:
    explicit Win32Resources(HMODULE module = nullptr) : module_(module) {}
    std::optional<std::string> load(std::string_view type, int number) override;
private:
    HMODULE module_;
};

ScreenMetrics screen_metrics();
TimeFormat regional_time_format();
// The folder of the running executable, without a final backslash unless it is a root.
std::string program_folder();

}  // namespace tockly::win
