#include "clock/windows/mci_port.h"

#include <mmsystem.h>

#include <cstring>

#include "win32kit/text_codec.h"

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

}  // namespace tockly::win
