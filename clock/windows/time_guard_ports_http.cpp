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

}  // namespace

// The requests under way, which cancel() ends.
class WinHttpClient::Requests {
public:
    // The handles of one request. The thread that makes the request keeps each
    // handle here as it opens it; whoever ends the request (that thread when it
    // is done, the caller when the deadline has passed, the exit) closes them
    // all, once. On Windows closing makes a call that waits on them return;
    // Wine 8 lets the call run to its own timeout, which is why the caller
    // never waits for that thread.
    class Handles {
    public:
        // False, with the handle closed, when there is none or the request has
        // already been ended.
        bool keep(HINTERNET handle) {
            if (!handle) return false;
            const std::lock_guard<std::mutex> guard(lock_);
            if (closed_) {
                WinHttpCloseHandle(handle);
                return false;
            }
            handles_.push_back(handle);
            return true;
        }
        void close_all() {
            const std::lock_guard<std::mutex> guard(lock_);
            closed_ = true;
            // The request first, the session last.
            for (auto it = handles_.rbegin(); it != handles_.rend(); ++it) WinHttpCloseHandle(*it);
            handles_.clear();
        }

    private:
        std::mutex lock_;
        std::vector<HINTERNET> handles_;
        bool closed_ = false;
    };

    // One request between the caller, who waits for it no longer than its
    // deadline, and the thread that makes it.
    class Exchange {
    public:
        Handles handles;

        // The thread's answer; too late once the request was ended.
        void finish(HttpResponse response) {
            handles.close_all();
            const std::lock_guard<std::mutex> guard(lock_);
            if (done_) return;
            response_ = std::move(response);
            done_ = true;
            finished_.notify_all();
        }
        // Ends the request as failed, whatever it waits for.
        void end() {
            handles.close_all();
            const std::lock_guard<std::mutex> guard(lock_);
            done_ = true;
            finished_.notify_all();
        }
        HttpResponse wait(int timeout_ms) {
            {
                std::unique_lock<std::mutex> guard(lock_);
                if (finished_.wait_for(guard, std::chrono::milliseconds(std::max(timeout_ms, 0)), [&] { return done_; }))
                    return response_;
            }
            end();
            return {};
        }

    private:
        std::mutex lock_;
        std::condition_variable finished_;
        bool done_ = false;
        HttpResponse response_;
    };

    // Nothing once the client is cancelled.
    std::shared_ptr<Exchange> open() {
        const std::lock_guard<std::mutex> guard(lock_);
        if (cancelled_) return nullptr;
        open_.push_back(std::make_shared<Exchange>());
        return open_.back();
    }
    void forget(const std::shared_ptr<Exchange>& exchange) {
        const std::lock_guard<std::mutex> guard(lock_);
        open_.erase(std::remove(open_.begin(), open_.end(), exchange), open_.end());
    }
    void cancel() {
        const std::lock_guard<std::mutex> guard(lock_);
        cancelled_ = true;
        for (const auto& exchange : open_) exchange->end();
    }

private:
    std::mutex lock_;
    bool cancelled_ = false;
    std::vector<std::shared_ptr<Exchange>> open_;
};

namespace {

using RequestHandles = WinHttpClient::Requests::Handles;
using Exchange = WinHttpClient::Requests::Exchange;

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

struct Target {
    std::wstring host;
    std::wstring path;
    INTERNET_PORT port = 0;
    bool secure = false;
};

std::optional<Target> target_of(const std::string& address) {
    const std::wstring url = widen(address);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return std::nullopt;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
    Target target{std::wstring(parts.lpszHostName, parts.dwHostNameLength),
                  std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength), parts.nPort,
                  parts.nScheme == INTERNET_SCHEME_HTTPS};
    target.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (target.path.empty()) target.path = L"/";
    return target;
}

// The session, the connection and the request with its headers, kept in
// `handles`; the request, or null.
HINTERNET open_request(const HttpRequest& request, const Target& target, const Deadline& deadline,
                       RequestHandles& handles) {
    // This machine itself is never reached through a proxy.
    const HINTERNET session = WinHttpOpen(
        L"Tockly", url_is_loopback(request.url) ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
        WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!handles.keep(session)) return nullptr;
    const int first_wait = deadline.left();
    if (first_wait == 0) return nullptr;
    WinHttpSetTimeouts(session, first_wait, first_wait, first_wait, first_wait);
    const HINTERNET connection = WinHttpConnect(session, target.host.c_str(), target.port, 0);
    if (!handles.keep(connection)) return nullptr;
    const DWORD flags = WINHTTP_FLAG_REFRESH | (target.secure ? WINHTTP_FLAG_SECURE : 0);
    // HTTP/1.0: a server may then not answer chunked (see read_headers).
    const HINTERNET req = WinHttpOpenRequest(connection, L"GET", target.path.c_str(), L"HTTP/1.0",
                                             WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
    if (!handles.keep(req)) return nullptr;
    for (const auto& [name, value] : request.headers) {
        const std::wstring line = widen(name + ": " + value);
        WinHttpAddRequestHeaders(req, line.c_str(), static_cast<DWORD>(line.size()),
                                 WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
    }
    // Redirects are followed by the caller, which knows where they may lead.
    DWORD no_redirects = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(req, WINHTTP_OPTION_DISABLE_FEATURE, &no_redirects, sizeof no_redirects);
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(req, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    return req;
}

bool send_and_receive(HINTERNET req, const Deadline& deadline) {
    limit_waits(req, std::max(deadline.left(), 1));
    if (!WinHttpSendRequest(req, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) return false;
    if (deadline.left() == 0) return false;
    limit_waits(req, deadline.left());
    return WinHttpReceiveResponse(req, nullptr) != FALSE;
}

// The status and the headers the clock reads; nothing for a reply it does
// not believe.
std::optional<HttpResponse> read_headers(HINTERNET req) {
    HttpResponse response;
    DWORD status = 0, size = sizeof status;
    if (!WinHttpQueryHeaders(req, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                             &status, &size, WINHTTP_NO_HEADER_INDEX))
        return std::nullopt;
    response.status = static_cast<int>(status);
    response.date_header = header_text(req, WINHTTP_QUERY_DATE).value_or("");
    response.location = header_text(req, WINHTTP_QUERY_LOCATION).value_or("");
    if (const auto length = header_text(req, WINHTTP_QUERY_CONTENT_LENGTH)) {
        // A length that is no number is no length the body can be checked against.
        if (length->empty() || length->size() > 9 || length->find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        response.content_length = static_cast<std::size_t>(std::stoul(*length));
    }
    // WinHTTP joins the chunks itself and takes a connection that drops
    // before the last chunk for the end of the body, so a chunked reply
    // cannot be told from one cut short. The request asked for HTTP/1.0,
    // which no server may answer chunked: one that does is not believed.
    if (header_text(req, WINHTTP_QUERY_TRANSFER_ENCODING).value_or("").find("chunked") != std::string::npos)
        return std::nullopt;
    return response;
}

bool read_body(HINTERNET req, const Deadline& deadline, std::size_t cap, std::string& body) {
    std::vector<char> buffer(8192);
    for (;;) {
        const int left = deadline.left();
        if (left == 0) return false;
        limit_waits(req, left);
        DWORD got = 0;
        // A connection that drops mid-body may end the read with an error;
        // where it ends it quietly, the length check of the caller fails it.
        if (!WinHttpReadData(req, buffer.data(), static_cast<DWORD>(buffer.size()), &got)) return false;
        if (got == 0) return true;
        body.append(buffer.data(), got);
        if (body.size() > cap) return false;
    }
}

// The request itself. Each wait is limited to the time left, but a server
// that trickles a byte at a time satisfies every single wait; the deadline of
// the whole request is therefore kept by WinHttpClient::get, which closes
// the handles when it has passed.
HttpResponse get_blocking(const HttpRequest& request, RequestHandles& handles) {
    const Deadline deadline(request.timeout_ms);
    const auto target = target_of(request.url);
    if (!target) return {};
    const HINTERNET req = open_request(request, *target, deadline, handles);
    if (!req || !send_and_receive(req, deadline)) return {};
    auto response = read_headers(req);
    if (!response || !read_body(req, deadline, request.max_body_bytes, response->body)) return {};
    response->complete = true;
    return *response;
}

}  // namespace

WinHttpClient::WinHttpClient() : requests_(std::make_shared<Requests>()) {}

WinHttpClient::~WinHttpClient() = default;

HttpResponse WinHttpClient::get(const HttpRequest& request) {
    // The request runs on a thread of its own and the caller waits for it no
    // longer than the deadline; the thread owns everything it touches.
    const std::shared_ptr<Exchange> exchange = requests_->open();
    if (!exchange) return {};
    HttpResponse response;
    try {
        std::thread([exchange, request] { exchange->finish(get_blocking(request, exchange->handles)); }).detach();
        response = exchange->wait(request.timeout_ms);
    } catch (...) {
        exchange->end();
    }
    requests_->forget(exchange);
    return response;
}

void WinHttpClient::cancel() { requests_->cancel(); }

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
