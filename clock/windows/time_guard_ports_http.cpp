#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "win32kit/text_codec.h"
#include "clock/windows/time_guard_ports.h"

namespace tockly::win {

using namespace win32kit;

namespace {

struct InternetCloser {
    void operator()(HINTERNET h) const { if (h) WinHttpCloseHandle(h); }
};
using unique_hinternet = std::unique_ptr<void, InternetCloser>;

// Milliseconds left until the deadline, at least 1 while any are left.
class Deadline {
public:
    explicit Deadline(int ms) : end_(GetTickCount64() + static_cast<ULONGLONG>(std::max(ms, 0))) {}
    int left() const {
        const ULONGLONG now = GetTickCount64();
        return now >= end_ ? 0 : static_cast<int>(std::min<ULONGLONG>(end_ - now, 0x7FFFFFFF));
    }
private:
    ULONGLONG end_;
};

void limit_waits(HINTERNET request, int ms) {
    DWORD value = static_cast<DWORD>(ms);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &value, sizeof value);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &value, sizeof value);
    WinHttpSetOption(request, WINHTTP_OPTION_SEND_TIMEOUT, &value, sizeof value);
}

// A response header as text; nothing when the response has none.
std::optional<std::string> header_text(HINTERNET request, DWORD which) {
    DWORD bytes = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                        WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX))
        return std::nullopt;
    value.resize(bytes / sizeof(wchar_t));
    return narrow(value);
}

// The request itself. Each wait is limited to the time left, but a server
// that trickles a byte at a time satisfies every single wait; the deadline of
// the whole request is therefore kept by WinHttpClient::get.
HttpResponse get_blocking(const HttpRequest& request) {
    HttpResponse failed;
    const Deadline deadline(request.timeout_ms);
    const std::wstring url = widen(request.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return failed;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return failed;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    // This machine itself is never reached through a proxy.
    const bool loopback = url_is_loopback(request.url);
    unique_hinternet session(WinHttpOpen(L"Tockly", loopback ? WINHTTP_ACCESS_TYPE_NO_PROXY
                                                              : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                         WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return failed;
    const int first_wait = deadline.left();
    if (first_wait == 0) return failed;
    WinHttpSetTimeouts(session.get(), first_wait, first_wait, first_wait, first_wait);
    unique_hinternet connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return failed;
    const DWORD flags = WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    // HTTP/1.0: a server may then not answer chunked (see below).
    unique_hinternet req(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), L"HTTP/1.0", WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!req) return failed;
    for (const auto& [name, value] : request.headers) {
        const std::wstring line = widen(name + ": " + value);
        WinHttpAddRequestHeaders(req.get(), line.c_str(), static_cast<DWORD>(line.size()),
                                 WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
    }
    // Redirects are followed by the caller, which knows where they may lead.
    DWORD no_redirects = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(req.get(), WINHTTP_OPTION_DISABLE_FEATURE, &no_redirects, sizeof no_redirects);
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(req.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    limit_waits(req.get(), std::max(deadline.left(), 1));
    if (!WinHttpSendRequest(req.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return failed;
    if (deadline.left() == 0) return failed;
    limit_waits(req.get(), deadline.left());
    if (!WinHttpReceiveResponse(req.get(), nullptr)) return failed;

    HttpResponse response;
    DWORD status = 0, size = sizeof status;
    if (!WinHttpQueryHeaders(req.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return failed;
    response.status = static_cast<int>(status);
    response.date_header = header_text(req.get(), WINHTTP_QUERY_DATE).value_or("");
    response.location = header_text(req.get(), WINHTTP_QUERY_LOCATION).value_or("");
    if (const auto length = header_text(req.get(), WINHTTP_QUERY_CONTENT_LENGTH)) {
        // A length that is no number is no length the body can be checked against.
        if (length->empty() || length->size() > 9 ||
            length->find_first_not_of("0123456789") != std::string::npos)
            return failed;
        response.content_length = static_cast<std::size_t>(std::stoul(*length));
    }
    // WinHTTP joins the chunks itself and takes a connection that drops
    // before the last chunk for the end of the body, so a chunked reply
    // cannot be told from one cut short. The request asked for HTTP/1.0,
    // which no server may answer chunked: one that does is not believed.
    if (header_text(req.get(), WINHTTP_QUERY_TRANSFER_ENCODING).value_or("").find("chunked") != std::string::npos)
        return failed;

    std::vector<char> buffer(8192);
    for (;;) {
        const int left = deadline.left();
        if (left == 0) return failed;
        limit_waits(req.get(), left);
        DWORD got = 0;
        // A connection that drops mid-body may end the read with an error;
        // where it ends it quietly, the length check of the caller fails it.
        if (!WinHttpReadData(req.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got)) return failed;
        if (got == 0) break;
        response.body.append(buffer.data(), got);
        if (response.body.size() > request.max_body_bytes) return failed;
    }
    response.complete = true;
    return response;
}

}  // namespace

HttpResponse WinHttpClient::get(const HttpRequest& request) {
    // The request runs on a thread of its own and the clock waits for it no
    // longer than the deadline. A request given up keeps its thread until its
    // own next wait runs out; the thread owns everything it touches.
    struct Shared {
        std::mutex lock;
        std::condition_variable finished;
        bool done = false;
        HttpResponse response;
    };
    auto shared = std::make_shared<Shared>();
    try {
        std::thread([shared, request] {
            HttpResponse response = get_blocking(request);
            const std::lock_guard<std::mutex> guard(shared->lock);
            shared->response = std::move(response);
            shared->done = true;
            shared->finished.notify_all();
        }).detach();
    } catch (...) {
        return {};
    }
    std::unique_lock<std::mutex> wait(shared->lock);
    if (!shared->finished.wait_for(wait, std::chrono::milliseconds(std::max(request.timeout_ms, 0)),
                                   [&] { return shared->done; }))
        return {};
    return shared->response;
}

bool LoopbackOnlineProbe::online() {
    if (!url_is_loopback(url_)) return false;
    HttpRequest request;
    request.url = url_;
    request.timeout_ms = 2000;
    request.max_body_bytes = 1024;
    const HttpResponse response = http_.get(request);
    return response.complete && response.status == 200;
}

}  // namespace tockly::win
