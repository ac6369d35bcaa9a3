#include "clock/windows/message_boxes.h"

#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

void Win32MessageBoxes::show(std::string_view text, std::string_view title, MessageIcon icon) {
    UINT type = MB_OK;
    if (icon == MessageIcon::information) type |= MB_ICONINFORMATION;
    if (icon == MessageIcon::warning) type |= MB_ICONWARNING;
    MessageBoxW(owner_, widen(text).c_str(), widen(title).c_str(), type);
}

}  // namespace tockly::win
