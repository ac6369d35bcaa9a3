#include "clock/support/clock_files.h"

#include <cmath>
#include <climits>

namespace tockly {

std::string tidy_settings_text(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + 2);
    std::size_t pos = 0;
    while (pos < ansi.size()) {
        std::size_t end = ansi.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = ansi.size();
        const std::string_view line = ansi.substr(pos, end - pos);
        // A line ends at CR LF, a lone CR or a lone LF.
        pos = end;
        if (pos < ansi.size() && ansi[pos] == '\r') ++pos;
        if (pos < ansi.size() && ansi[pos] == '\n') ++pos;
        if (line.empty()) continue;
        const auto first = line.find_first_not_of(' ');
        if (first == std::string_view::npos) {
            // Only spaces: it becomes an empty line now and is dropped on the
            // next start, as the tidy has always behaved.
            out += "\r\n";
            continue;
        }
        const auto last = line.find_last_not_of(' ');
        out.append(line.substr(first, last - first + 1));
        out += "\r\n";
    }
    return out;
}

bool tidy_settings_file(FileSystem& files, std::string_view path) {
    const auto text = files.read_bytes(path);
    if (!text) return false;
    const std::string tidy = tidy_settings_text(*text);
    if (tidy == *text) return true;
    return files.replace_atomically(path, tidy);
}

std::string shutdown_batch_text(std::int32_t seconds) {
    return "shutdown.exe -s -c \"您的计算机即将关闭，倒计时已经被启动！\" -t " +
           std::to_string(seconds) + "\r\nDel %0\r\n";
}

bool write_shutdown_batch(FileSystem& files, AnsiCodec& codec, std::string_view program_folder,
                  std::int32_t seconds) {
    const std::string path = std::string(program_folder) + std::string(shutdown_batch_name);
    return files.write_bytes(path, codec.to_ansi(shutdown_batch_text(seconds)));
}

std::string extract_resource(Resources& resources, FileSystem& files, std::int16_t number,
                          std::string_view type) {
    const std::string target = files.temp_folder() + "temp." + std::string(type);
    if (const auto bytes = resources.load(type, number)) files.write_bytes(target, *bytes);
    return target;
}

std::int16_t taskbar_height(const ScreenMetrics& screen) {
    const double twips = static_cast<double>(screen.height_twips) -
                         static_cast<double>(screen.work_area_bottom_px) * twips_per_inch / screen.dpi;
    // Rounded half to even, as a 16-bit integer.
    const double rounded = std::nearbyint(twips);
    if (rounded > SHRT_MAX) return SHRT_MAX;
    if (rounded < SHRT_MIN) return SHRT_MIN;
    return static_cast<std::int16_t>(rounded);
}

}  // namespace tockly
