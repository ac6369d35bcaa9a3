#include "clock/model/face.h"

#include <cmath>

namespace tockly {

std::array<FaceLine, face_line_count> face_lines_after_resize() {
    std::array<FaceLine, face_line_count> lines{};
    for (int i = 0; i < face_line_count; ++i) {
        const double a = i * 2 * std::atan(1.0) / 3;
        lines[i].from = lines[i].to = {std::cos(a), std::sin(a)};
        lines[i].width_px = 2;
        lines[i].colour = 0;
    }
    return lines;
}

FacePoint face_to_client(FacePoint p, int client_width_px, int client_height_px) {
    return {(p.x + 1) / 2 * client_width_px, (1 - p.y) / 2 * client_height_px};
}

FaceTexts face_texts(int year, unsigned month, unsigned day, unsigned monday_based_weekday,
                     std::string time_text) {
    FaceTexts t;
    t.time = std::move(time_text);
    if (monday_based_weekday >= 1 && monday_based_weekday <= 7)
        t.weekday = std::string(weekday_names[monday_based_weekday - 1]);
    t.year_month = std::to_string(year) + "-" + std::to_string(month);
    t.day = std::to_string(day);
    return t;
}

}  // namespace tockly
