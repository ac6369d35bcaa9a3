// The local time-page server (tools/timepage_server) seen from Windows code:
// start one (Wine starts the Linux program directly), tell it what to serve
// through /control, read its counters, end it.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "win32kit/text_codec.h"
#include "clock/windows/time_guard_ports.h"

namespace tockly::wintest {

class TimePage {
public:
    explicit TimePage(int port) : base_("http://127.0.0.1:" + std::to_string(port)), port_(port) {}
    ~TimePage() {
        if (own_) control("quit");
    }
    TimePage(const TimePage&) = delete;
    TimePage& operator=(const TimePage&) = delete;

    std::string url(const std::string& path) const { return base_ + path; }

    // The state line ("mode=ok skew=0 time_requests=..."), empty when the
    // server did not answer.
    std::string control(const std::string& query = "") {
        HttpRequest request;
        request.url = base_ + "/control" + (query.empty() ? "" : "?" + query);
        request.timeout_ms = 3000;
        request.max_body_bytes = 4096;
        const HttpResponse r = http_.get(request);
        return r.complete && r.status == 200 ? r.body : std::string();
    }
    bool reachable() { return !control().empty(); }

    // Starts a server of our own (the Linux program at `unix_path`) that ends
    // by itself after `lifetime_seconds` should we never tell it to.
    bool start(const std::string& unix_path, int lifetime_seconds = 900) {
        std::wstring command = L"\"" + win32kit::widen(unix_path) + L"\" --port " + std::to_wstring(port_) +
                               L" --lifetime " + std::to_wstring(lifetime_seconds);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            return false;
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        own_ = true;
        for (int i = 0; i < 50; ++i) {
            if (reachable()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // One number of the state line, -1 when it is not there.
    long long counter(const std::string& name) {
        const std::string state = control();
        const auto at = state.find(name + "=");
        if (at == std::string::npos) return -1;
        return std::stoll(state.substr(at + name.size() + 1));
    }
    std::string field(const std::string& name) {
        const std::string state = control();
        const auto at = state.find(name + "=");
        if (at == std::string::npos) return {};
        const auto start = at + name.size() + 1;
        return state.substr(start, state.find_first_of(" \n", start) - start);
    }

private:
    std::string base_;
    int port_;
    bool own_ = false;
    win::WinHttpClient http_;
};

}  // namespace tockly::wintest
