#include "clock/windows/regional_time_format.h"

#include <windows.h>

#include "win32kit/text_codec.h"

namespace tockly::win {

TimeFormat regional_time_format() {
    TimeFormat f;
    wchar_t buffer[128] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, buffer, 128) > 1) f.picture = win32kit::narrow(buffer);
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S1159, buffer, 128) > 1) f.am = win32kit::narrow(buffer);
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S2359, buffer, 128) > 1) f.pm = win32kit::narrow(buffer);
    return f;
}

}  // namespace tockly::win
