// The settings dialog's own ports with the real APIs: the Voice folders'
// file lists and renames, and the common file-open dialog.
#pragma once

#include <windows.h>

#include "clock/support/file_list.h"
#include "clock/model/alarm_dialog_model.h"

namespace tockly::win {

class Win32Folders : public Folders {
public:
    std::vector<std::string> file_names(std::string_view folder) override;
    bool rename_file(std::string_view from, std::string_view to) override;
};

// GetOpenFileNameW, modal to its owner.
class Win32FileOpenDialog : public FileOpenDialog {
public:
    void set_owner(HWND owner) { owner_ = owner; }
    std::string open(std::string_view title, std::string_view filter, int filter_index) override;
private:
    HWND owner_ = nullptr;
};

}  // namespace tockly::win
