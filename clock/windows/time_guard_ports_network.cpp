// The connection state and ICMP echo (see time_guard_ports.h).
#include <winsock2.h>
#include <windows.h>
#include <wininet.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <array>

#include "clock/windows/time_guard_ports.h"

namespace tockly::win {

namespace {

// The reply record as the clock has always sized it: the reply layout and a
// 250-byte data area. Large enough for the 64-bit layout and "tanaya".
constexpr DWORD reply_record_size = 278;
static_assert(sizeof(ICMP_ECHO_REPLY) + 6 + 8 <= reply_record_size);

}  // namespace

bool Win32ConnectionState::online() {
    DWORD flags = 0;
    char name[513] = {};
    return InternetGetConnectedStateExA(&flags, name, 512, 0) == 1;
}

bool Win32EchoService::start_sockets() {
    if (cancelled_) return false;
    WSADATA data{};
    return WSAStartup(0x101, &data) == 0;
}

void Win32EchoService::stop_sockets() { WSACleanup(); }

std::optional<std::uint32_t> Win32EchoService::address_of(std::string_view dotted) {
    const std::string text(dotted);
    const unsigned long address = inet_addr(text.c_str());
    if (address == INADDR_NONE) return std::nullopt;
    return ntohl(address);
}

std::int32_t Win32EchoService::echo(std::uint32_t address, std::string_view payload, int timeout_ms) {
    if (cancelled_) return IP_REQ_TIMED_OUT;
    const HANDLE icmp = IcmpCreateFile();
    // Without the echo service nothing was answered: this counts as no answer,
    // not as the success an untouched reply record would read as.
    if (icmp == INVALID_HANDLE_VALUE || icmp == nullptr) return IP_GENERAL_FAILURE;
    alignas(ICMP_ECHO_REPLY) std::array<unsigned char, reply_record_size> reply{};
    std::string data(payload);
    const DWORD replies = IcmpSendEcho(icmp, htonl(address), data.data(), static_cast<WORD>(data.size()), nullptr,
                                       reply.data(), reply_record_size, static_cast<DWORD>(timeout_ms));
    const DWORD error = GetLastError();
    IcmpCloseHandle(icmp);
    if (replies == 0) return error != 0 ? static_cast<std::int32_t>(error) : IP_REQ_TIMED_OUT;
    return static_cast<std::int32_t>(reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data())->Status);
}

}  // namespace tockly::win
