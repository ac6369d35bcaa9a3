#include "clock/windows/mci_port.h"

#include <mmsystem.h>

#include <cwchar>

#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

MciReply Win32Mci::send(std::string_view command, unsigned answer_capacity) {
    const std::wstring wide_command = widen(command);
    MciReply reply;
    if (answer_capacity == 0) {
        // The answer of these commands is never read: a buffer holding "0"
        // with a length of 0.
        wchar_t unused[2] = L"0";
        reply.code = mciSendStringW(wide_command.c_str(), unused, 0, nullptr);
        return reply;
    }
    std::wstring buffer(answer_capacity + 1, L'\0');
    reply.code = mciSendStringW(wide_command.c_str(), buffer.data(), answer_capacity, nullptr);
    buffer.resize(std::wcslen(buffer.c_str()));
    reply.answer = narrow(buffer);
    return reply;
}

}  // namespace tockly::win
