// Shared by the fuzz targets: how a target reports a broken promise of the
// code it runs, and the ANSI code page of a Chinese system.
#pragma once

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tockly::fuzz {

// The fuzz targets report a broken promise by stopping here, so that
// libFuzzer keeps the input that shows it.
[[noreturn]] inline void broken(const char* what) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// ANSI text of a Chinese system (code page 936) as the clock gets it from the
// platform: UTF-8, each byte that starts no GBK character read as "?".
inline std::string gbk_to_utf8(std::string_view gbk) {
    static const iconv_t converter = iconv_open("UTF-8", "GBK");
    std::string out;
    char buffer[256];
    while (!gbk.empty()) {
        char* in = const_cast<char*>(gbk.data());
        std::size_t in_left = gbk.size(), out_left = sizeof buffer;
        char* to = buffer;
        const std::size_t done = iconv(converter, &in, &in_left, &to, &out_left);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        gbk.remove_prefix(gbk.size() - in_left);
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG && !gbk.empty()) {
            out += '?';
            gbk.remove_prefix(1);
        }
    }
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    return out;
}

}  // namespace tockly::fuzz
