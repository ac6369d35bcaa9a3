#include <gtest/gtest.h>

#include "clock/support/time_text.h"

namespace tockly {
namespace {

const TimeFormat kChinese{"H:mm:ss", "上午", "下午"};
const TimeFormat kUs{"h:mm:ss tt", "AM", "PM"};
const TimeFormat kTwoDigit{"HH:mm:ss", "AM", "PM"};
const TimeFormat kLeadingMarker{"tt hh'时'mm'分'ss'秒'", "上午", "下午"};
const TimeFormat kShortMarker{"h:mm:ss t", "AM", "PM"};

TEST(TimeText, ParsesWhatPeopleTypeIntoATimeBox) {
    const struct { std::string_view text; int seconds; } cases[] = {
        {"8:30", 8 * 3600 + 30 * 60},
        {"8.30", 8 * 3600 + 30 * 60},
        {"8：30", 8 * 3600 + 30 * 60},
        {"08:05:09", 8 * 3600 + 5 * 60 + 9},
        {" 7.30.15 ", 7 * 3600 + 30 * 60 + 15},
        {"0:00", 0},
        {"23:59:59", 86399},
        {"下午 3:15", 15 * 3600 + 15 * 60},
        {"3:15 pm", 15 * 3600 + 15 * 60},
        {"12:00 AM", 0},
        {"12:00 PM", 12 * 3600},
        {"上午 12:30", 30 * 60},
    };
    for (const auto& c : cases) {
        const auto got = parse_time_of_day(c.text, kChinese);
        ASSERT_TRUE(got) << "[" << c.text << "]";
        EXPECT_EQ(*got, c.seconds) << "[" << c.text << "]";
    }
}

TEST(TimeText, RejectsWhatIsNotATimeOfDay) {
    const std::string_view cases[] = {
        "", "   ", "25:00", "24:00", "7:60", "12:30:61", "abc", "8", "8:", ":30", "8:30:",
        "8;30", "8:30 x", "123:00", "8:300", "-1:00", "１２:００", "8:30:00:00", "13:00 PMX",
    };
    for (const auto text : cases) EXPECT_FALSE(parse_time_of_day(text, kChinese)) << "[" << text << "]";
    EXPECT_FALSE(parse_time_of_day(std::string(10000, '9'), kChinese));
}

TEST(TimeText, FormatsInTheRegionalPicture) {
    const struct { const TimeFormat* format; int seconds; std::string_view text; } cases[] = {
        {&kChinese, 8 * 3600 + 30 * 60, "8:30:00"},
        {&kChinese, 19 * 3600 + 30 * 60, "19:30:00"},
        {&kChinese, 0, "0:00:00"},
        {&kUs, 0, "12:00:00 AM"},
        {&kUs, 13 * 3600 + 5, "1:00:05 PM"},
        {&kTwoDigit, 7 * 3600 + 3 * 60 + 4, "07:03:04"},
        {&kLeadingMarker, 15 * 3600 + 4 * 60, "下午 03时04分00秒"},
        {&kShortMarker, 15 * 3600, "3:00:00 P"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(format_time_of_day(c.seconds, *c.format), c.text) << c.format->picture << " " << c.seconds;
}

TEST(TimeText, EveryTimeOfDaySurvivesFormattingAndParsing) {
    for (const TimeFormat* format : {&kChinese, &kUs, &kTwoDigit, &kLeadingMarker, &kShortMarker}) {
        int failures = 0;
        for (int t = 0; t < seconds_per_day && failures < 5; ++t) {
            const std::string text = format_time_of_day(t, *format);
            const auto back = parse_time_of_day(text, *format);
            if (!back || *back != t) {
                ++failures;
                ADD_FAILURE() << format->picture << ": " << t << " -> " << text;
            }
        }
    }
}

TEST(TimeText, NormalisesTypedTimes) {
    EXPECT_EQ(normalise_time_text("8.30", kChinese), "8:30:00");
    EXPECT_EQ(normalise_time_text("8.30", kUs), "8:30:00 AM");
    EXPECT_EQ(normalise_time_text("25:00", kChinese), std::nullopt);
}

TEST(TimeText, ANormalisedTextAlwaysNamesTheSameSecond) {
    // Regional pictures that cannot show the time store the 24-hour form.
    const struct { TimeFormat format; std::string_view typed, stored; } cases[] = {
        {{"H:mm", "AM", "PM"}, "8:30", "8:30"},
        {{"H:mm", "AM", "PM"}, "8:30:15", "8:30:15"},
        {{"I.mm", "", ""}, "8.30", "8:30:00"},
        {{"mm:ss", "AM", "PM"}, "19:05", "19:05:00"},
    };
    for (const auto& c : cases) {
        const auto stored = normalise_time_text(c.typed, c.format);
        EXPECT_EQ(stored, c.stored) << c.format.picture << " [" << c.typed << "]";
        if (stored) {
            EXPECT_EQ(parse_time_of_day(*stored, c.format), parse_time_of_day(c.typed, c.format));
        }
    }
}

}  // namespace
}  // namespace tockly
