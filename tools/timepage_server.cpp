// timepage_server: the time page on this machine, for the local demo and the
// tests. It listens on a loopback address only and answers
//
//   GET /time      the time page: UTF-8, the date in the first square
//                  brackets and the time in the first parentheses, local
//                  time plus the skew ("[2026-05-09] (14:05:00)")
//   GET /spare     the same page: the spare time page of the test builds
//   GET /moved     302 to /time
//   GET /online    "online", the test builds' stand-in for the system's
//                  connection state (see clock/windows/test_hooks.h)
//   GET /          a small home page
//   GET /control   the state; with ?skew=SECONDS and/or ?mode=MODE it
//                  changes it first, ?reset puts back the start values,
//                  ?quit ends the server; ?date=YYYY-MM-DD puts that date in
//                  the brackets (the time stays), ?then_skew=SECONDS makes
//                  the skew that after the next /time page (a second fetch
//                  that disagrees with the first). The state counts the
//                  requests for /time, /spare, /online and / (home_requests:
//                  the clock's home page item reached the server)
//
// Every answer carries a Date header: now plus the skew, in UTC.
//
// Modes (for /time, /online and /; /control always answers):
//   ok       as above
//   error    500 with an error page
//   garbage  200 with bytes that hold no date or time
//   hang     accepts and reads the request, never answers
//   trickle  a correct page, one byte every half second
//   big      a correct page padded to 100 KiB
//   down     closes every connection without a word
//   header   200 with a body without date or time: only the Date header tells it
//   cut      the page, but the connection closes 40 bytes before its Content-Length
//   cutchunk the page chunked, the connection closing before the last chunk
//
//   timepage_server [--port 18080] [--bind 127.0.0.1] [--skew SECONDS] [--mode MODE]
//                   [--lifetime SECONDS]
//
// --lifetime ends the server after that many seconds, so a test that starts
// one of its own cannot leave it behind.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace {

const char* const kModes[] = {"ok", "error", "garbage", "hang", "trickle", "big", "down", "header", "cut", "cutchunk"};

struct State {
    std::mutex lock;
    long long skew = 0;
    std::string mode = "ok";
    long long start_skew = 0;
    std::string start_mode = "ok";
    long long time_requests = 0;
    long long spare_requests = 0;
    long long online_requests = 0;
    long long home_requests = 0;
    std::string fixed_date;  // the bracket date, empty: today's
    bool skew_after = false;
    long long then_skew = 0;
    std::string if_modified_since = "-";  // of the last /time request, "-" when it had none
};

State state;
bool known_mode(std::string_view mode) {
    for (const char* m : kModes)
        if (mode == m) return true;
    return false;
}

bool parse_number(std::string_view text, long long& out) {
    if (text.empty() || text.size() > 12) return false;
    std::size_t i = 0;
    const bool negative = text[0] == '-';
    if (negative || text[0] == '+') ++i;
    if (i == text.size()) return false;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    out = negative ? -value : value;
    return true;
}

// "[2026-05-09] (14:05:00)" for now plus the skew, in this machine's local
// time; `date` replaces the date when it is set.
std::string time_fields(long long skew, const std::string& date = "") {
    const std::time_t t = std::time(nullptr) + static_cast<std::time_t>(skew);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "[%Y-%m-%d] (%H:%M:%S)", &local);
    if (date.empty()) return buffer;
    return "[" + date + "]" + std::string(buffer).substr(12);
}

std::string time_page(long long skew, const std::string& date = "") {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tockly 时间页</title></head>\n"
           "<body><p>北京时间 " + time_fields(skew, date) + "</p></body></html>\n";
}

// "Mon, 07 Dec 2026 16:30:00 GMT" for now plus the skew.
std::string http_date(long long skew) {
    const std::time_t t = std::time(nullptr) + static_cast<std::time_t>(skew);
    std::tm utc{};
    gmtime_r(&t, &utc);
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d GMT", days[utc.tm_wday], utc.tm_mday,
                  months[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return buffer;
}

thread_local long long date_skew = 0;  // the skew of the Date header of the answer being made

std::string head(int status, std::string_view reason, std::string_view content_type) {
    std::string out = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n";
    out += "Date: " + http_date(date_skew) + "\r\n";
    out += "Content-Type: " + std::string(content_type) + "\r\n";
    return out;
}

std::string response(int status, std::string_view reason, std::string_view content_type, std::string_view body) {
    std::string out = head(status, reason, content_type);
    out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    out += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
    out += body;
    return out;
}

bool send_all(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Waits until the peer closes the connection (or two minutes pass).
void wait_for_peer(int fd) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    char sink[512];
    while (std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) > 0) {
            if (::recv(fd, sink, sizeof sink, 0) <= 0) return;
        }
    }
}

std::string state_text() {
    return "mode=" + state.mode + " skew=" + std::to_string(state.skew) +
           " time_requests=" + std::to_string(state.time_requests) +
           " spare_requests=" + std::to_string(state.spare_requests) +
           " online_requests=" + std::to_string(state.online_requests) +
           " home_requests=" + std::to_string(state.home_requests) +
           " if_modified_since=" + state.if_modified_since + "\n";
}

bool quit_requested = false;

// Applies "skew=900&mode=hang", "reset" or "quit"; false for anything it does not know.
bool apply_control(std::string_view query) {
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const auto eq = pair.find('=');
        const std::string_view name = pair.substr(0, eq);
        const std::string_view value = eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        if (name == "quit") {
            quit_requested = true;
        } else if (name == "reset") {
            state.skew = state.start_skew;
            state.mode = state.start_mode;
            state.time_requests = state.spare_requests = state.online_requests = state.home_requests = 0;
            state.if_modified_since = "-";
            state.fixed_date.clear();
            state.skew_after = false;
        } else if (name == "skew") {
            long long skew = 0;
            if (!parse_number(value, skew)) return false;
            state.skew = skew;
        } else if (name == "then_skew") {
            if (!parse_number(value, state.then_skew)) return false;
            state.skew_after = true;
        } else if (name == "date") {
            // Four digits, a dash, two, a dash, two: 9999-12-31 and 0000-01-01 included.
            if (value.size() != 10 || value[4] != '-' || value[7] != '-') return false;
            state.fixed_date = std::string(value);
        } else if (name == "mode") {
            if (!known_mode(value)) return false;
            state.mode = std::string(value);
        } else if (!name.empty()) {
            return false;
        }
    }
    return true;
}

// The value of a request header (name in lower case), "-" when it is absent.
std::string header_value(const std::string& request, std::string_view name) {
    std::size_t line = request.find("\r\n");
    while (line != std::string::npos && line + 2 < request.size()) {
        const std::size_t start = line + 2;
        const std::size_t end = request.find("\r\n", start);
        if (end == std::string::npos || end == start) break;
        const std::string_view text(request.data() + start, end - start);
        const auto colon = text.find(':');
        if (colon != std::string_view::npos && colon == name.size()) {
            bool same = true;
            for (std::size_t i = 0; i < colon; ++i)
                same = same && std::tolower(static_cast<unsigned char>(text[i])) == name[i];
            if (same) {
                std::string_view value = text.substr(colon + 1);
                while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
                std::string out(value);
                for (char& c : out)
                    if (c == ' ') c = '_';  // one word in the state line
                return out.empty() ? "-" : out;
            }
        }
        line = end;
    }
    return "-";
}

struct Request {
    std::string text;  // the head as it came
    std::string method;
    std::string path;
    std::string query;
};

// The request head, up to 8 KiB; false when the peer sends none within 5 s
// of its last bytes or closes first.
bool read_request(int fd, std::string& request) {
    char chunk[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 8192) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return false;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        request.append(chunk, static_cast<std::size_t>(n));
    }
    return true;
}

// "GET /path?query HTTP/1.1"; false without its two spaces.
bool parse_request_line(Request& request) {
    const auto first_space = request.text.find(' ');
    const auto second_space = request.text.find(' ', first_space + 1);
    if (first_space == std::string::npos || second_space == std::string::npos) return false;
    request.method = request.text.substr(0, first_space);
    const std::string target = request.text.substr(first_space + 1, second_space - first_space - 1);
    const auto question = target.find('?');
    request.path = target.substr(0, question);
    request.query = question == std::string::npos ? "" : target.substr(question + 1);
    return true;
}

// Holds the lock while answering, so that the state line is the one the
// change made.
void answer_control(int fd, const std::string& query) {
    std::lock_guard<std::mutex> guard(state.lock);
    const bool ok = apply_control(query);
    std::fprintf(stderr, "timepage_server: control %s -> %s", query.c_str(), state_text().c_str());
    send_all(fd, ok ? response(200, "OK", "text/plain", state_text())
                    : response(400, "Bad Request", "text/plain", "unknown control: " + query + "\n"));
    if (quit_requested) {
        ::close(fd);
        std::_Exit(0);
    }
}

// What the answer is made of, taken from the state as the request counts in.
struct Reply {
    std::string mode;
    long long skew = 0;
    std::string date;
};

Reply count_request(const Request& request) {
    std::lock_guard<std::mutex> guard(state.lock);
    const Reply reply{state.mode, state.skew, state.fixed_date};
    if (request.path == "/time") {
        ++state.time_requests;
        state.if_modified_since = header_value(request.text, "if-modified-since");
        if (state.skew_after) {
            state.skew = state.then_skew;
            state.skew_after = false;
        }
    }
    if (request.path == "/spare") ++state.spare_requests;
    if (request.path == "/online") ++state.online_requests;
    if (request.path == "/") ++state.home_requests;
    return reply;
}

// The modes that answer every path alike; false when the mode leaves it to the path.
bool answer_by_mode(int fd, const std::string& mode) {
    if (mode == "down") return true;  // closed without a word
    if (mode == "hang") {
        wait_for_peer(fd);
        return true;
    }
    if (mode != "error") return false;
    send_all(fd, response(500, "Internal Server Error", "text/html; charset=utf-8",
                          "<html><body><h1>500 服务器出错了</h1></body></html>\n"));
    return true;
}

// Every path but the time pages; false for those.
bool answer_other_path(int fd, const std::string& path) {
    if (path == "/moved") {
        std::string whole = head(302, "Found", "text/plain");
        whole += "Location: /time\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        send_all(fd, whole);
    } else if (path == "/online") {
        send_all(fd, response(200, "OK", "text/plain", "online\n"));
    } else if (path == "/") {
        send_all(fd, response(200, "OK", "text/html; charset=utf-8",
                              "<html><body><h1>Vornhall</h1><p>Tockly</p></body></html>\n"));
    } else if (path != "/time" && path != "/spare") {
        send_all(fd, response(404, "Not Found", "text/plain", "not found\n"));
    } else {
        return false;
    }
    return true;
}

std::string garbage_page() {
    std::string junk;
    unsigned seed = 12345;
    for (int i = 0; i < 600; ++i) {
        seed = seed * 1103515245u + 12345u;
        char c = static_cast<char>((seed >> 16) & 0xFF);
        if (c == '[' || c == '(') c = '#';
        junk += c;
    }
    return junk;
}

// The page cut short: 40 bytes under its Content-Length, or chunked without
// the last chunk.
std::string cut_page(const std::string& page, bool chunked) {
    std::string whole = head(200, "OK", "text/html; charset=utf-8");
    if (!chunked) return whole + "Content-Length: " + std::to_string(page.size() + 40) + "\r\nConnection: close\r\n\r\n" + page;
    char size[16];
    std::snprintf(size, sizeof size, "%zx", page.size());
    whole += "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
    return whole + std::string(size) + "\r\n" + page + "\r\n";  // and no "0\r\n\r\n"
}

void send_trickling(int fd, const std::string& whole) {
    for (char c : whole) {
        if (!send_all(fd, std::string_view(&c, 1))) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
}

void answer_time_page(int fd, const Reply& reply) {
    const std::string& mode = reply.mode;
    if (mode == "header") {
        send_all(fd, response(200, "OK", "text/plain", "User-agent: *\nDisallow: /private/\n"));
    } else if (mode == "cut" || mode == "cutchunk") {
        send_all(fd, cut_page(time_page(reply.skew, reply.date), mode == "cutchunk"));
    } else if (mode == "garbage") {
        send_all(fd, response(200, "OK", "text/html; charset=utf-8", garbage_page()));
    } else {
        std::string page = time_page(reply.skew, reply.date);
        if (mode == "big") page += std::string(100 * 1024, ' ');
        const std::string whole = response(200, "OK", "text/html; charset=utf-8", page);
        if (mode == "trickle") {
            send_trickling(fd, whole);
        } else {
            send_all(fd, whole);
        }
    }
}

void serve(int fd) {
    Request request;
    if (!read_request(fd, request.text)) return;
    if (!parse_request_line(request)) {
        send_all(fd, response(400, "Bad Request", "text/plain", "bad request\n"));
        return;
    }
    if (request.method != "GET") {
        send_all(fd, response(405, "Method Not Allowed", "text/plain", "GET only\n"));
        return;
    }
    if (request.path == "/control") {
        answer_control(fd, request.query);
        return;
    }
    const Reply reply = count_request(request);
    date_skew = reply.skew;
    if (answer_by_mode(fd, reply.mode) || answer_other_path(fd, request.path)) return;
    answer_time_page(fd, reply);
}

void usage() {
    std::fprintf(stderr,
                 "usage: timepage_server [--port 18080] [--bind 127.0.0.1] [--skew SECONDS] "
                 "[--mode ok|error|garbage|hang|trickle|big|down|header|cut|cutchunk] [--lifetime SECONDS]\n");
}

struct Options {
    long long port = 18080;
    std::string bind_address = "127.0.0.1";
    long long lifetime = 0;
};

// The options; --skew and --mode go straight into the state. False for
// anything it does not know.
bool parse_arguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (arg == "--port") {
            if (!parse_number(value, options.port) || options.port < 1 || options.port > 65535) return false;
        } else if (arg == "--bind") {
            options.bind_address = value;
        } else if (arg == "--skew") {
            if (!parse_number(value, state.skew)) return false;
        } else if (arg == "--lifetime") {
            if (!parse_number(value, options.lifetime) || options.lifetime < 1) return false;
        } else if (arg == "--mode") {
            state.mode = value;
            if (!known_mode(state.mode)) return false;
        } else {
            return false;
        }
    }
    state.start_skew = state.skew;
    state.start_mode = state.mode;
    return true;
}

// Loopback only: nothing outside this machine ever reaches the server.
bool loopback_address(const std::string& text, in_addr& address) {
    return inet_pton(AF_INET, text.c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
}

// The listening socket, or -1 after saying why.
int open_listener(const in_addr& address, const Options& options) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0) return std::perror("socket"), -1;
    const int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(options.port));
    where.sin_addr = address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || ::listen(listener, 16) != 0) {
        std::fprintf(stderr, "timepage_server: cannot listen on %s:%lld: %s\n", options.bind_address.c_str(),
                     options.port, std::strerror(errno));
        ::close(listener);
        return -1;
    }
    return listener;
}

// Each connection on a thread of its own, until accept fails.
int serve_forever(int listener) {
    for (;;) {
        const int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0) {
            if (errno == EINTR) continue;
            std::perror("accept");
            return 1;
        }
        std::thread([fd] {
            serve(fd);
            ::close(fd);
        }).detach();
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_arguments(argc, argv, options)) return usage(), 2;
    in_addr address{};
    if (!loopback_address(options.bind_address, address)) {
        std::fprintf(stderr, "timepage_server: %s is no loopback address\n", options.bind_address.c_str());
        return 2;
    }
    const int listener = open_listener(address, options);
    if (listener < 0) return 1;
    ::signal(SIGPIPE, SIG_IGN);
    if (options.lifetime > 0) {
        std::thread([lifetime = options.lifetime] {
            std::this_thread::sleep_for(std::chrono::seconds(lifetime));
            std::_Exit(0);
        }).detach();
    }
    std::fprintf(stderr, "timepage_server: http://%s:%lld/time (mode %s, skew %lld)\n",
                 options.bind_address.c_str(), options.port, state.mode.c_str(), state.skew);
    return serve_forever(listener);
}
