#include "lunar/core/ole_date.h"

#include <cmath>

namespace lunar {

std::chrono::sys_days OleDateDay(OleDate date) {
    // 0100-01-01 .. 9999-12-31, the span an OLE date can name.
    if (!(date > -657435.0 && date < 2958466.0)) {
        throw DateRangeError("not a valid OLE date");
    }
    return kOleEpoch + std::chrono::days{static_cast<int>(std::trunc(date))};
}

std::string IsoDateText(std::chrono::year_month_day day) {
    std::string text = "0000-00-00";
    const auto put = [&text](unsigned value, std::size_t at, std::size_t width) {
        for (std::size_t i = at + width; i-- > at; value /= 10) {
            text[i] = static_cast<char>('0' + value % 10);
        }
    };
    put(static_cast<unsigned>(static_cast<int>(day.year())), 0, 4);
    put(static_cast<unsigned>(day.month()), 5, 2);
    put(static_cast<unsigned>(day.day()), 8, 2);
    return text;
}

}  // namespace lunar
