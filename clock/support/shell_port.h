// The shell's open operation (ShellExecute): a program, document or batch
// file handed to the system, which starts it and returns at once.
#pragma once

#include <string>

namespace tockly {

inline constexpr int show_command_show = 5;  // SW_SHOW: shown normally

struct ShellOpen {
    bool owned_by_clock = false;  // the clock window as owner, else none
    std::string verb;             // empty: the default verb
    std::string file;
    std::string parameters;
    std::string folder;           // working folder
    int show_command = show_command_show;
};

class Shell {
public:
    virtual ~Shell() = default;
    // False when the system refused (nothing started); callers carry on.
    virtual bool open(const ShellOpen& request) = 0;
};

}  // namespace tockly
