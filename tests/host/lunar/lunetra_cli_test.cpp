// Runs the real lunetra program and reads what it prints.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lunar/core/lunar_core.h"

namespace {

using namespace std::chrono;

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

ProgramRun RunLunetra(const std::string& args, const std::string& input = "") {
    const std::string dir = testing::TempDir();
    const std::string in_path = dir + "lunetra_in.txt";
    const std::string err_path = dir + "lunetra_err.txt";
    std::ofstream(in_path, std::ios::binary) << input;
    const std::string command =
        std::string("'") + LUNETRA_PATH + "' " + args + " <'" + in_path + "' 2>'" + err_path + "'";
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[65536];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadFile(err_path);
    return run;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) parts.push_back(part);
    return parts;
}

TEST(LunetraConvert, PrintsAllFieldsOfADate) {
    const ProgramRun run = RunLunetra("convert 2020-10-01 2023-03-22 2017-12-22 2024-02-09");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "2020-10-01\t020200815\t农历庚子年八月十五\t鼠\t天秤座\t \t中秋节\tred\n"
              "2023-03-22\t120230201\t农历癸卯年(闰)二月初一\t兔\t牡羊座\t \t初一\tblack\n"
              "2017-12-22\t020171105\t农历丁酉年十一月初五\t鸡\t魔羯座\t冬至\t初五\tblack\n"
              "2024-02-09\t020231230\t农历癸卯年十二月卅十\t兔\t水瓶座\t \t除夕\tred\n");
}

TEST(LunetraConvert, BadDatesAreReportedAndTheRestConverted) {
    struct Case {
        const char* input;
        const char* why;
    };
    for (const Case& c : std::vector<Case>{
             {"2024-2-01", "malformed"},
             {"2024-02-30", "no such day"},
             {"20240201", "malformed"},
             {"tomorrow", "malformed"},
             {"1900-12-31", "before 1901"},
             {"2091-01-01", "after 2090"},
         }) {
        SCOPED_TRACE(std::string(c.input) + " (" + c.why + ")");
        for (bool from_stdin : {false, true}) {
            SCOPED_TRACE(from_stdin ? "on standard input" : "as argument");
            const std::string dates = std::string("2024-02-10 ") + c.input + " 1901-01-01";
            const ProgramRun run = from_stdin
                                ? RunLunetra("convert", "2024-02-10\n" + std::string(c.input) + "\n1901-01-01\n")
                                : RunLunetra("convert " + dates);
            EXPECT_EQ(run.status, 1);
            const auto lines = Split(run.out, '\n');
            ASSERT_EQ(lines.size(), 2u) << run.out;
            EXPECT_EQ(lines[0].substr(0, 11), "2024-02-10\t");
            EXPECT_EQ(lines[1].substr(0, 11), "1901-01-01\t");
            const auto errors = Split(run.err, '\n');
            ASSERT_EQ(errors.size(), 1u) << run.err;
            EXPECT_NE(errors[0].find(c.input), std::string::npos) << errors[0];
        }
    }
}

TEST(LunetraConvert, WholeRangeFromStandardInput) {
    std::string input;
    std::vector<sys_days> days;
    for (sys_days d = sys_days{1901y / 1 / 1}; d <= sys_days{2090y / 12 / 31}; d += std::chrono::days{1}) {
        days.push_back(d);
        input += lunar::IsoDateText(d) + "\r\n";  // also accepts CRLF lines
    }
    ASSERT_EQ(days.size(), 69397u);
    const ProgramRun run = RunLunetra("convert", input);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const auto lines = Split(run.out, '\n');
    ASSERT_EQ(lines.size(), days.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        const auto fields = Split(lines[i], '\t');
        ASSERT_EQ(fields.size(), 8u) << lines[i];
        ASSERT_EQ(fields[0], lunar::IsoDateText(days[i])) << lines[i];
        ASSERT_EQ(fields[1], lunar::SolarToLunar(lunar::ToOleDate(days[i]))) << lines[i];
        ASSERT_TRUE(fields[7] == "red" || fields[7] == "black") << lines[i];
    }
}

TEST(LunetraMonth, PrintsTheMonthPage) {
    const ProgramRun run = RunLunetra("month 2024-01");
    EXPECT_EQ(run.status, 0);
    const auto lines = Split(run.out, '\n');
    ASSERT_GE(lines.size(), 4u) << run.out;
    EXPECT_EQ(lines[0].rfind("农历癸卯年十一月廿十  兔", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("2024年1月"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "星期日  星期一  星期二  星期三  星期四  星期五  星期六");
    // 2024-01-01 is a Monday: day 1 and its label sit in the second column.
    EXPECT_EQ(lines[2], "          1       2       3       4       5       6");
    EXPECT_EQ(lines[3].rfind("         元旦    廿一", 0), 0u) << lines[3];
    EXPECT_NE(run.out.find(" 初四    初五    初六    初七   腊八节"), std::string::npos) << run.out;
    EXPECT_EQ(lines.back().rfind("小寒：6日", 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find("大寒：20日"), std::string::npos) << lines.back();
}

TEST(LunetraMonth, RejectsBadMonths) {
    for (const char* arg : {"2024-13", "2024-1", "1900-12", "2091-01", "x"}) {
        SCOPED_TRACE(arg);
        const ProgramRun run = RunLunetra(std::string("month ") + arg);
        EXPECT_NE(run.status, 0);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(arg), std::string::npos) << run.err;
    }
}

TEST(Lunetra, TodayOnOneLine) {
    const ProgramRun run = RunLunetra("");
    EXPECT_EQ(run.status, 0);
    const auto lines = Split(run.out, '\n');
    ASSERT_EQ(lines.size(), 1u) << run.out;
    const auto words = Split(lines[0], ' ');
    ASSERT_EQ(words.size(), 3u) << lines[0];
    EXPECT_EQ(words[0].rfind("农历", 0), 0u) << lines[0];
    EXPECT_EQ(words[2].size(), std::string("水瓶座").size()) << lines[0];
}

TEST(LunetraNext, ListsTheDaysARuleHolds) {
    struct Case {
        const char* args;
        const char* out;
    };
    const std::vector<Case> cases = {
        {"next workday --from 2026-09-30 --count 4",
         "2026-09-30\t星期三\t农历丙午年八月廿十\n"
         "2026-10-08\t星期四\t农历丙午年八月廿八\n"
         "2026-10-09\t星期五\t农历丙午年八月廿九\n"
         "2026-10-10\t星期六\t农历丙午年九月初一\t班\n"},
        {"next lunar:08-15 --count 2 --from 2026-01-01",
         "2026-09-25\t星期五\t农历丙午年八月十五\t中秋\n"
         "2027-09-15\t星期三\t农历丁未年八月十五\t中秋\n"},
        {"next once:2026-10-01 --from 2026-01-01",
         "2026-10-01\t星期四\t农历丙午年八月廿一\t国庆节\n"},
        {"next solar:12-31 --from 2089-01-01",
         "2089-12-31\t星期六\t农历己酉年十一月卅十\n"
         "2090-12-31\t星期日\t农历庚戌年十一月十一\n"},
        {"day 2026-10-10", "2026-10-10\t星期六\t农历丙午年九月初一\t班\t国庆节\n"},
        {"day 2026-10-11", "2026-10-11\t星期日\t农历丙午年九月初二\t休\n"},
        {"day 2027-02-05",
         "2027-02-05\t星期五\t农历丙午年十二月廿九\t休\t春节\t(本年安排未公布，按法定节假日推算)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ProgramRun run = RunLunetra(c.args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, c.out);
    }
    const ProgramRun five = RunLunetra("next daily");  // from today, five by default
    EXPECT_EQ(Split(five.out, '\n').size(), 5u) << five.out;
}

TEST(LunetraNext, BadRulesAndDatesSayWhatIsWrongOnOneLine) {
    struct Case {
        const char* args;
        const char* named;  // what the message must name
    };
    for (const Case& c : std::vector<Case>{
             {"next lunar:13-01", "13"},
             {"next week:9", "9"},
             {"next monthly", "monthly"},
             {"next", "rule"},
             {"next daily --from 2026-02-30", "2026-02-30"},
             {"next daily --from 2091-01-01", "2091-01-01"},
             {"next daily --count x", "x"},
             {"next daily --count", "--count"},
             {"next daily --until 2026-01-01", "--until"},
             {"day 2026-13-01", "2026-13-01"},
             {"day", "YYYY-MM-DD"},
         }) {
        SCOPED_TRACE(c.args);
        const ProgramRun run = RunLunetra(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        const auto lines = Split(run.err, '\n');
        ASSERT_EQ(lines.size(), 1u) << run.err;
        EXPECT_NE(lines[0].find(c.named), std::string::npos) << lines[0];
    }
}

}  // namespace
