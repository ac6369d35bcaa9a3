#include "clock/model/face_layout.h"

#include <algorithm>
#include <cmath>

namespace tockly {

FaceLayout face_layout(TwipsScale s) {
    FaceLayout l;
    l.window_width = s.to_px(clock_design::width_twips);
    l.window_height = s.to_px(clock_design::height_twips);
    // The region's box scales as a whole length from its corner, so its size
    // is exactly the size of the picture drawn into it.
    l.region.left = s.scale(clock_design::region.left);
    l.region.top = s.scale(clock_design::region.top);
    l.region.right = l.region.left + s.scale(clock_design::region.right - clock_design::region.left);
    l.region.bottom = l.region.top + s.scale(clock_design::region.bottom - clock_design::region.top);
    l.face_width = s.to_px(design_client_width_twips);
    l.face_height = s.to_px(design_client_height_twips);
    return l;
}

PixelBox label_box(const LabelDesign& d, TwipsScale s) {
    return {s.to_px(d.left), s.to_px(d.top), s.to_px(d.left + d.width), s.to_px(d.top + d.height)};
}

int pen_width(int width_at_96, TwipsScale s) { return std::max(1, s.scale(width_at_96)); }

int face_resource_percent(int resource) { return 100 + 50 * (resource / larger_face_step); }

int face_resource_for_dpi(int resource_at_100, int dpi) {
    const int base = resource_at_100 % larger_face_step;
    for (int step = 0; step <= 2; ++step)
        if ((100 + 50 * step) * design_dpi >= dpi * 100) return base + step * larger_face_step;
    return base + 2 * larger_face_step;
}

namespace {

// One pass along one axis over premultiplied samples (r, g, b, coverage): a
// reduction averages the source pixels each target pixel covers, by area; an
// enlargement interpolates between the two nearest source pixels.
struct Sample {
    double r = 0, g = 0, b = 0, a = 0;
};

std::vector<Sample> resize_axis(const std::vector<Sample>& in, int in_len, int out_len, int lines, bool along_x) {
    std::vector<Sample> out(static_cast<std::size_t>(out_len) * lines);
    const double ratio = static_cast<double>(in_len) / out_len;
    for (int o = 0; o < out_len; ++o) {
        int first = 0;
        std::vector<double> weights;
        if (ratio > 1) {
            const double from = o * ratio, to = (o + 1) * ratio;
            first = static_cast<int>(std::floor(from));
            for (int i = first; i < std::min(in_len, static_cast<int>(std::ceil(to))); ++i)
                weights.push_back(std::min<double>(i + 1, to) - std::max<double>(i, from));
        } else {
            const double centre = std::clamp((o + 0.5) * ratio - 0.5, 0.0, in_len - 1.0);
            first = static_cast<int>(std::floor(centre));
            weights.push_back(1 - (centre - first));
            if (first + 1 < in_len) weights.push_back(centre - first);
        }
        double total = 0;
        for (const double w : weights) total += w;
        const int last = first + static_cast<int>(weights.size()) - 1;
        if (total <= 0) continue;
        for (int line = 0; line < lines; ++line) {
            Sample sum;
            for (int i = first; i <= last; ++i) {
                const double w = weights[static_cast<std::size_t>(i - first)] / total;
                const Sample& s = along_x ? in[static_cast<std::size_t>(line) * in_len + i]
                                          : in[static_cast<std::size_t>(i) * lines + line];
                sum.r += s.r * w;
                sum.g += s.g * w;
                sum.b += s.b * w;
                sum.a += s.a * w;
            }
            (along_x ? out[static_cast<std::size_t>(line) * out_len + o] : out[static_cast<std::size_t>(o) * lines + line]) = sum;
        }
    }
    return out;
}

}  // namespace

PixelPicture resize_keyed(const PixelPicture& source, int width, int height, unsigned key) {
    PixelPicture out;
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.pixels.size() != static_cast<std::size_t>(source.width) * source.height)
        return out;
    out.width = width;
    out.height = height;
    if (width == source.width && height == source.height) {
        out.pixels = source.pixels;
        return out;
    }
    std::vector<Sample> samples(source.pixels.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const unsigned p = source.pixels[i];
        if (p == key) continue;
        samples[i] = {static_cast<double>((p >> 16) & 0xFF), static_cast<double>((p >> 8) & 0xFF),
                      static_cast<double>(p & 0xFF), 1.0};
    }
    const auto across = resize_axis(samples, source.width, width, source.height, true);
    const auto both = resize_axis(across, source.height, height, width, false);
    out.pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const Sample& s = both[i];
        if (s.a < 0.5) {
            out.pixels[i] = key;
            continue;
        }
        const auto channel = [&](double premultiplied) {
            return static_cast<unsigned>(std::clamp(std::lround(premultiplied / s.a), 0L, 255L));
        };
        unsigned p = channel(s.r) << 16 | channel(s.g) << 8 | channel(s.b);
        // Averaged colours must never turn into the key and punch a hole.
        if (p == key) p ^= 1;
        out.pixels[i] = p;
    }
    return out;
}

}  // namespace tockly
