// The time guard's ports implemented with the real APIs: the connection
// state of WinINet, ICMP echo, a WinHTTP GET with a deadline and a body cap,
// and setting the local clock with the system-time privilege.
#pragma once

#include <windows.h>

#include <string>

#include "clock/support/network_check.h"
#include "clock/support/web_time.h"

namespace tockly::win {

// InternetGetConnectedStateExA: online exactly when it returns 1.
class Win32ConnectionState : public ConnectionState {
public:
    bool online() override;
};

// WSAStartup 1.1 / inet_addr / IcmpSendEcho with a zero-filled 278-byte
// reply record. Addresses cross the port with the first part in the high byte.
class Win32EchoService : public EchoService {
public:
    bool start_sockets() override;
    void stop_sockets() override;
    std::optional<std::uint32_t> address_of(std::string_view dotted) override;
    std::int32_t echo(std::uint32_t address, std::string_view payload, int timeout_ms) override;
};

// A synchronous WinHTTP GET. The deadline covers the whole request; a body
// longer than the cap ends it. HTTPS when the address asks for it; no proxy
// for this machine itself.
class WinHttpClient : public HttpClient {
public:
    HttpResponse get(const HttpRequest& request) override;
};

// SetLocalTime after asking for the system-time privilege. A missing
// privilege or the system's refusal gives false.
class Win32ClockSetter : public ClockSetter {
public:
    bool set_time_of_day(int seconds) override;
    bool set_date(int year, unsigned month, unsigned day) override;
};

// Test builds only: the connection state taken from a loopback page instead of
// the machine's network set-up (see test_hooks.h). Online when the page
// answers 200 within two seconds.
class LoopbackOnlineProbe : public ConnectionState {
public:
    explicit LoopbackOnlineProbe(std::string url) : url_(std::move(url)) {}
    bool online() override;
private:
    std::string url_;
    WinHttpClient http_;
};

}  // namespace tockly::win
