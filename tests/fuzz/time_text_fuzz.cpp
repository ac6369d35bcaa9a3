// Times of day as people type them into the settings dialog or a settings
// file, read in a regional time format that is itself outside input (the
// user's own picture and AM/PM words). The input is the picture, the AM word
// and the PM word on one line each, then the typed text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "clock/support/time_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace tockly::fuzz {
namespace {

std::string_view take_line(std::string_view& input) {
    const auto end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return line;
}

}  // namespace
}  // namespace tockly::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tockly;
    using namespace tockly::fuzz;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    TimeFormat format;
    format.picture = std::string(take_line(input));
    format.am = std::string(take_line(input));
    format.pm = std::string(take_line(input));
    if (format.picture.size() > 64 || format.am.size() > 32 || format.pm.size() > 32) return 0;

    const auto t = parse_time_of_day(input, format);
    if (t && (*t < 0 || *t >= seconds_per_day)) broken("a time of day outside the day");
    // What the dialog stores is the normalised text; the tick reads that
    // again, and must find the same time in it.
    if (const auto normal = normalise_time_text(input, format)) {
        if (parse_time_of_day(*normal, format) != t) broken("the normalised text reads as another time");
    }
    return 0;
}
