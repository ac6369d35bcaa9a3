#include "mci_port.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <cstring>

#include "text_codec.h"

namespace tockly::win {

using namespace win32kit;

MciReply Win32Mci::send(std::string_view command, unsigned answer_capacity) {
    const std::string ansi = utf8_to_ansi(command);
    MciReply reply;
    if (answer_capacity == 0) {
        // The answer of these commands is never read: a buffer holding "0"
        // with a length of 0.
        char unused[2] = "0";
        reply.code = mciSendStringA(ansi.c_str(), unused, 0, nullptr);
        return reply;
    }
    std::string buffer(answer_capacity + 1, '\0');
    reply.code = mciSendStringA(ansi.c_str(), buffer.data(), answer_capacity, nullptr);
    buffer.resize(std::strlen(buffer.c_str()));
    reply.answer = ansi_to_utf8(buffer);
    return reply;
}

bool Win32Shell::open(const ShellOpen& r) {
    const std::wstring verb = widen(r.verb), file = widen(r.file), parameters = widen(r.parameters),
                       folder = widen(r.folder);
    const HINSTANCE result =
        ShellExecuteW(r.owned_by_clock ? clock_window_ : nullptr, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                      parameters.empty() ? nullptr : parameters.c_str(), folder.empty() ? nullptr : folder.c_str(),
                      r.show_command);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

LocalTime Win32WallClock::now() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.weekday = st.wDayOfWeek == 0 ? 7 : st.wDayOfWeek;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.millisecond = st.wMilliseconds;
    return t;
}

}  // namespace tockly::win
