#include "clock/model/monitor_layout.h"

#include <algorithm>
#include <cstdint>

namespace tockly {

namespace {

std::int64_t overlap(const TwipsRect& m, const WindowRect& w) {
    const std::int64_t x = std::min(m.right, w.left + w.width) - std::max(m.left, w.left);
    const std::int64_t y = std::min(m.bottom, w.top + w.height) - std::max(m.top, w.top);
    return x > 0 && y > 0 ? x * y : 0;
}

std::int64_t distance_to_centre(const TwipsRect& m, const WindowRect& w) {
    const std::int64_t cx = w.left + w.width / 2, cy = w.top + w.height / 2;
    const std::int64_t dx = cx < m.left ? m.left - cx : cx >= m.right ? cx - m.right + 1 : 0;
    const std::int64_t dy = cy < m.top ? m.top - cy : cy >= m.bottom ? cy - m.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

struct Span {
    int from, to;  // [from, to)
    bool meets(int a, int b) const { return a < to && b > from; }
};

// The part of the window beside a monitor's edge: its rows (or columns) on
// that monitor, or the monitor's whole side when the window is off it. Any
// other monitor touching that part carries the edge on, so a parked window
// never shows whole on a neighbour.
Span rows_on(const TwipsRect& m, const WindowRect& w) {
    const int from = std::max(w.top, m.top), to = std::min(w.top + w.height, m.bottom);
    return from < to ? Span{from, to} : Span{m.top, m.bottom};
}
Span columns_on(const TwipsRect& m, const WindowRect& w) {
    const int from = std::max(w.left, m.left), to = std::min(w.left + w.width, m.right);
    return from < to ? Span{from, to} : Span{m.left, m.right};
}

bool spans(int from, int to, int at) { return from <= at && at < to; }

const TwipsRect* right_neighbour(const std::vector<TwipsRect>& monitors, const TwipsRect& m, const WindowRect& w) {
    const Span rows = rows_on(m, w);
    for (const TwipsRect& n : monitors)
        if (spans(n.left, n.right, m.right) && rows.meets(n.top, n.bottom)) return &n;
    return nullptr;
}

}  // namespace

const TwipsRect& MonitorLayout::holding(const WindowRect& w) const {
    const auto most = std::max_element(monitors.begin(), monitors.end(), [&](const auto& a, const auto& b) {
        return overlap(a, w) < overlap(b, w);
    });
    if (overlap(*most, w) > 0) return *most;
    return *std::min_element(monitors.begin(), monitors.end(), [&](const auto& a, const auto& b) {
        return distance_to_centre(a, w) < distance_to_centre(b, w);
    });
}

bool MonitorLayout::continued_right(const TwipsRect& m, const WindowRect& w) const {
    return right_neighbour(monitors, m, w) != nullptr;
}

bool MonitorLayout::continued_left(const TwipsRect& m, const WindowRect& w) const {
    const Span rows = rows_on(m, w);
    return std::any_of(monitors.begin(), monitors.end(), [&](const TwipsRect& n) {
        return spans(n.left, n.right, m.left - 1) && rows.meets(n.top, n.bottom);
    });
}

bool MonitorLayout::continued_below(const TwipsRect& m, const WindowRect& w) const {
    const Span columns = columns_on(m, w);
    return std::any_of(monitors.begin(), monitors.end(), [&](const TwipsRect& n) {
        return spans(n.top, n.bottom, m.bottom) && columns.meets(n.left, n.right);
    });
}

const TwipsRect& MonitorLayout::parking(const TwipsRect& from, const WindowRect& w) const {
    const TwipsRect* current = &from;
    // Each step moves strictly right, so the walk ends within the monitor count.
    for (std::size_t step = 0; step < monitors.size(); ++step) {
        const TwipsRect* next = right_neighbour(monitors, *current, w);
        if (!next) break;
        current = next;
    }
    return *current;
}

}  // namespace tockly
