// The time guard's ports implemented with the real APIs, one file for each
// API family (WinINet and WinHTTP cannot share a translation unit):
//
//   time_guard_ports_network.cpp  the connection state (WinINet) and ICMP echo
//   time_guard_ports_http.cpp     the WinHTTP GET and the loopback probe
//   time_guard_ports_clock.cpp    setting the local clock, the monotonic clock
//
// The waiting ones (echo, HTTP) can be cancelled from the window's thread,
// so that the program's exit never waits for the network.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
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

    // From any thread: every later echo request fails at once (one under way
    // ends within its timeout).
    void cancel() { cancelled_ = true; }

private:
    std::atomic<bool> cancelled_{false};
};

// A synchronous WinHTTP GET. The deadline covers the whole request; a body
// longer than the cap ends it. HTTPS when the address asks for it; no proxy
// for this machine itself.
class WinHttpClient : public HttpClient {
public:
    WinHttpClient();
    ~WinHttpClient() override;
    WinHttpClient(const WinHttpClient&) = delete;
    WinHttpClient& operator=(const WinHttpClient&) = delete;

    HttpResponse get(const HttpRequest& request) override;

    // From any thread: closes the handles of every request under way, which
    // makes its waiting call return, and fails every later request at once.
    void cancel();

    class Requests;

private:
    std::shared_ptr<Requests> requests_;
};

// SetLocalTime after asking for the system-time privilege. A missing
// privilege or the system's refusal gives false.
class Win32ClockSetter : public ClockSetter {
public:
    bool set_time_of_day(int seconds) override;
    bool set_date(int year, unsigned month, unsigned day) override;
};

// GetTickCount64: milliseconds since the system started.
class Win32MonotonicClock : public MonotonicClock {
public:
    std::int64_t now_ms() override;
};

// Test builds only: the connection state taken from a loopback page instead of
// the machine's network set-up (see test_hooks.h). Online when the page
// answers 200 within two seconds.
class LoopbackOnlineProbe : public ConnectionState {
public:
    LoopbackOnlineProbe(std::string url, HttpClient& http) : url_(std::move(url)), http_(http) {}
    bool online() override;
private:
    std::string url_;
    HttpClient& http_;
};

}  // namespace tockly::win
