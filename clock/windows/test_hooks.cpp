#include "clock/windows/test_hooks.h"

#include <windows.h>

#include <vector>

#include "win32kit/text_codec.h"
#include "clock/windows/file_system.h"
#include "clock/windows/time_guard_ports.h"
#include "clock/support/web_time.h"

namespace tockly::win {

using namespace win32kit;

namespace {

[[maybe_unused]] std::optional<std::string> environment(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return std::nullopt;
    std::vector<wchar_t> value(n);
    const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
    if (got == 0 || got >= n) return std::nullopt;
    return narrow(std::wstring_view(value.data(), got));
}

[[maybe_unused]] std::int64_t seconds_from_environment(const wchar_t* name) {
    const auto text = environment(name);
    if (!text) return 0;
    try {
        return std::stoll(*text);
    } catch (...) {
        return 0;
    }
}

}  // namespace

TestHooks read_test_hooks() {
    TestHooks hooks;
#ifdef TOCKLY_TEST_HOOKS
    hooks.clock_offset_seconds = seconds_from_environment(L"TOCKLY_TEST_CLOCK_OFFSET");
    hooks.wall_clock_offset_seconds = seconds_from_environment(L"TOCKLY_TEST_WALL_CLOCK_OFFSET");
    // Only a page of this machine itself may stand for the connection state.
    if (const auto probe = environment(L"TOCKLY_TEST_ONLINE_PROBE"); probe && url_is_loopback(*probe))
        hooks.online_probe_url = *probe;
#endif
    return hooks;
}

std::int64_t wall_clock_offset_now() {
#ifdef TOCKLY_TEST_HOOKS
    static const std::int64_t fixed = read_test_hooks().wall_clock_offset_seconds;
    static const std::optional<std::string> file = environment(L"TOCKLY_TEST_WALL_CLOCK_OFFSET_FILE");
    if (!file) return fixed;
    // Read again only when the file was written since.
    static FILETIME seen{};
    static std::int64_t offset = fixed;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(widen(*file).c_str(), GetFileExInfoStandard, &data)) return fixed;
    if (CompareFileTime(&data.ftLastWriteTime, &seen) == 0) return offset;
    seen = data.ftLastWriteTime;
    offset = fixed;
    if (const auto text = Win32FileSystem().read_bytes(*file)) {
        try {
            offset = std::stoll(*text);
        } catch (...) {
        }
    }
    return offset;
#else
    return 0;
#endif
}

TickMoment ShiftedHourlySteps::shifted(const TickMoment& moment) const {
    if (offset_ == 0) return moment;
    TickMoment out = moment;
    out.now = local_time_at(moment.now.local_seconds() + offset_);
    out.time_of_day = out.now.seconds_of_day();
    out.angles = hand_angles(out.now.hour, out.now.minute, out.now.second);
    return out;
}

std::unique_ptr<ConnectionState> make_connection_state(const TestHooks& hooks, HttpClient& http) {
    if (hooks.online_probe_url) return std::make_unique<LoopbackOnlineProbe>(*hooks.online_probe_url, http);
    return std::make_unique<Win32ConnectionState>();
}

}  // namespace tockly::win
