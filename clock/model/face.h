// The clock face: its coordinate system (x from -1 at the left to 1 at the
// right, y from 1 at the top to -1 at the bottom), the fifteen lines of the
// face, the labels at their design places, and the label texts of a moment.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tockly {

struct FacePoint {
    double x = 0;
    double y = 0;
};

struct FaceLine {
    FacePoint from, to;
    int width_px = 2;
    unsigned colour = 0;  // OLE colour; 0x80000008 is the system's window-text colour
};

inline constexpr unsigned ole_window_text = 0x80000008;
inline constexpr int face_line_count = 15;  // 0 hour hand, 1..12 hour marks, 13 minute, 14 second

// The lines as the resize handler leaves them: every one a dot on the rim at
// i x 30 degrees (the hands become hands on the next handled second).
std::array<FaceLine, face_line_count> face_lines_after_resize();

// The client area the face is designed for: 2985 x 3000 twips. The face is
// laid out in it whatever borders the platform gives the window.
inline constexpr int design_client_width_twips = 2985;
inline constexpr int design_client_height_twips = 3000;

// Maps a face point to client pixels of a client area of the given size.
FacePoint face_to_client(FacePoint p, int client_width_px, int client_height_px);

inline constexpr double hub_radius = 0.05;

enum class LabelAlign { centre, right };

struct LabelDesign {
    const char* name;
    int left, top, width, height;  // twips, in the client area
    unsigned colour;               // OLE colour of the text
    const char* font;
    double points;
    bool bold;
    LabelAlign align;
    bool framed;
};

// time_label time, weekday_label weekday, year_month_label year-month, day_label day, studio_label studio name.
namespace face_labels {
inline constexpr LabelDesign time_label{"Label1", 930, 1770, 1095, 285, 0x0000FF, "宋体", 12, false, LabelAlign::centre, false};
inline constexpr LabelDesign weekday_label{"Label2", 1185, 2070, 675, 255, 0x0000FF, "宋体", 12, false, LabelAlign::centre, false};
inline constexpr LabelDesign year_month_label{"Label4", 1080, 870, 915, 225, 0x8080FF, "宋体", 10.5, true, LabelAlign::centre, false};
inline constexpr LabelDesign day_label{"Label5", 2070, 1395, 270, 225, 0xFF00FF, "宋体", 9, true, LabelAlign::right, true};
// alarm_spot shows nothing: a small spot at the face centre that lists the alarms when clicked.
inline constexpr LabelDesign alarm_spot{"Label3", 1465, 1440, 135, 135, 0x0000FF, "宋体", 9, false, LabelAlign::centre, false};
inline constexpr LabelDesign studio_label{"Label6", 1050, 1080, 975, 255, 0x404040, "微软简行楷", 12, false, LabelAlign::centre, false};
}  // namespace face_labels

inline constexpr std::string_view studio_name = "Vornhall";

// Weekday names counted from Monday = 1 to Sunday = 7.
inline constexpr std::array<std::string_view, 7> weekday_names = {
    "星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};

struct FaceTexts {
    std::string time;        // time_label, regional time text
    std::string weekday;     // weekday_label
    std::string year_month;  // year_month_label, "2026-5": no leading zeros
    std::string day;         // day_label, "9"
};

// monday_based_weekday: 1 = Monday .. 7 = Sunday.
FaceTexts face_texts(int year, unsigned month, unsigned day, unsigned monday_based_weekday,
                     std::string time_text);

}  // namespace tockly
