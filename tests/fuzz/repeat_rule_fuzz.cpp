// An alarm's repeat rule as it comes from the settings file or the command
// line: any text. Reads it; a rule read is written in its one canonical form,
// which reads back as the same rule, and its next days hold.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lunar/core/repeat_rule.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace std::chrono;
    using tockly::fuzz::broken;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto rule = lunar::ParseRepeatRule(text, &why);
    if (!rule) {
        if (why.empty()) broken("a refused rule without a reason");
        return 0;
    }
    if (lunar::ParseRepeatRule(lunar::RepeatRuleText(*rule)) != rule) broken("the canonical text reads as another rule");
    if (lunar::RepeatRuleLabel(*rule).empty()) broken("a rule without words");
    const lunar::WorkCalendar calendar;
    for (const sys_days from : {lunar::kFirstWorkCalendarDay, sys_days{2026y / 5 / 9}, lunar::kLastWorkCalendarDay}) {
        const auto next = lunar::NextRuleDay(*rule, from, calendar);
        if (next && (*next < from || !lunar::RuleHolds(*rule, *next, calendar)))
            broken("a next day before the start or on which the rule does not hold");
    }
    return 0;
}
