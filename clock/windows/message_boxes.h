// The clock's message boxes, modal to an owner window when it has one.
#pragma once

#include <windows.h>

#include "clock/support/ports.h"

namespace tockly::win {

class Win32MessageBoxes : public MessageBoxes {
public:
    explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
    void set_owner(HWND owner) { owner_ = owner; }
    void show(std::string_view text, std::string_view title, MessageIcon icon) override;
private:
    HWND owner_;
};

}  // namespace tockly::win
