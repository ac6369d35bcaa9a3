// The face at the DPI of its monitor: the 96-dpi face grown by dpi / 96, whole
// at any DPI, and the twips rules of placing, dragging and parking unchanged.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "clock/model/face_layout.h"
#include "clock/model/window_behaviour.h"

namespace tockly {
namespace {

constexpr int dpis[] = {96, 110, 120, 144, 192};  // 110: twips per pixel not whole

TEST(FaceLayout, IsTheDesignFaceGrownByTheDpiAndWhole) {
    const FaceLayout at96 = face_layout({96});
    EXPECT_EQ(at96.window_width, 208);
    EXPECT_EQ(at96.window_height, 227);
    for (const int dpi : dpis) {
        SCOPED_TRACE(dpi);
        const TwipsScale s{dpi};
        const double factor = dpi / 96.0;
        const FaceLayout l = face_layout(s);
        EXPECT_LE(std::abs(l.window_width - at96.window_width * factor), 1.0);
        EXPECT_LE(std::abs(l.window_height - at96.window_height * factor), 1.0);
        // The region is as large as the face picture drawn into it, and inside the window.
        EXPECT_EQ(l.region.width(), s.scale(200));
        EXPECT_EQ(l.region.height(), s.scale(198));
        EXPECT_LE(std::abs(l.region.left - 4 * factor), 0.5);
        EXPECT_LE(std::abs(l.region.top - 26 * factor), 0.5);
        EXPECT_LE(l.region.right, l.window_width);
        EXPECT_LE(l.region.bottom, l.window_height);
        EXPECT_LE(std::abs(l.face_width - at96.face_width * factor), 1.0);
        // Every label stays on the face.
        for (const LabelDesign* d : {&face_labels::time_label, &face_labels::weekday_label, &face_labels::alarm_spot,
                                     &face_labels::year_month_label, &face_labels::day_label, &face_labels::studio_label}) {
            const PixelBox b = label_box(*d, s);
            EXPECT_GT(b.width(), 0) << d->name;
            EXPECT_LE(b.right, l.face_width) << d->name;
            EXPECT_LE(b.bottom, l.face_height) << d->name;
        }
        EXPECT_EQ(pen_width(2, s), std::lround(2 * factor));
    }
}

TEST(FaceLayout, PixelsSurviveTheWayThroughTwips) {
    // A window the model does not move must stay where the system put it.
    for (const int dpi : dpis)
        for (int px = -3000; px <= 5000; ++px) ASSERT_EQ(TwipsScale{dpi}.to_px(TwipsScale{dpi}.to_twips(px)), px) << dpi;
}

TEST(FaceLayout, PlacingAndParkingKeepTheirTwipsAtEveryDpi) {
    const int screen_px = 1024;
    for (const int dpi : dpis) {
        SCOPED_TRACE(dpi);
        const TwipsScale s{dpi};
        const ScreenTwips screen{s.to_twips(screen_px), s.to_twips(768)};
        const FaceLayout l = face_layout(s);
        // Start-up: the face overhangs the right edge by 50 twips.
        const int left = s.to_px(clock_left_twips(screen.width));
        EXPECT_LE(std::abs(left + l.window_width - screen_px - 50.0 * dpi / 1440), 1.0);
        EXPECT_EQ(s.to_px(clock_design::top_twips), std::lround(-350.0 * dpi / 1440));
        // Parked, a sliver of 120 twips shows.
        WindowBehaviour behaviour;
        const WindowRect parked =
            behaviour.park({s.to_twips(300), s.to_twips(100), s.to_twips(l.window_width), s.to_twips(l.window_height)},
                           screen);
        EXPECT_LE(std::abs(screen_px - s.to_px(parked.left) - 120.0 * dpi / 1440), 1.0);
        // Back in the start-up column (the window's own width in twips may be
        // a pixel's fraction off 3120 where twips per pixel is not whole).
        const WindowRect back = behaviour.on_mouse_move(parked, screen);
        EXPECT_LE(std::abs(s.to_px(back.left) - left), 1);
    }
}

TEST(FaceLayout, BuiltInFacesAreNeverEnlargedUpTo192Dpi) {
    const struct { int resource, dpi, expected; } cases[] = {
        {201, 96, 201}, {202, 72, 202}, {201, 110, 1201}, {202, 120, 1202}, {203, 144, 1203},
        {204, 145, 2204}, {201, 192, 2201}, {201, 288, 2201}, {1203, 96, 203},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(face_resource_for_dpi(c.resource, c.dpi), c.expected) << c.resource << " at " << c.dpi;
        EXPECT_GE(face_resource_percent(c.expected) * 96, std::min(c.dpi, 192) * 100) << c.resource << " at " << c.dpi;
    }
}

PixelPicture picture(int w, int h, unsigned (*colour)(int x, int y)) {
    PixelPicture p{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.pixels.push_back(colour(x, y));
    return p;
}

constexpr unsigned white = 0xFFFFFF;

TEST(ResizeKeyed, EdgesAgainstTheKeyStayHard) {
    // A red disc on the see-through white: no pale pixel appears round it.
    const PixelPicture disc = picture(40, 40, [](int x, int y) {
        return (x - 19.5) * (x - 19.5) + (y - 19.5) * (y - 19.5) < 18 * 18 ? 0xC02020u : white;
    });
    for (const int size : {17, 50, 60, 80}) {
        const PixelPicture out = resize_keyed(disc, size, size, white);
        ASSERT_EQ(out.pixels.size(), static_cast<std::size_t>(size * size));
        int red = 0;
        for (const unsigned p : out.pixels) {
            ASSERT_TRUE(p == white || p == 0xC02020u) << size << ": " << std::hex << p;
            red += p != white;
        }
        // The disc keeps its share of the picture.
        EXPECT_NEAR(red / double(size * size), 3.14159 * 18 * 18 / 1600, 0.04) << size;
    }
}

TEST(ResizeKeyed, ColoursAreAveragedAndNeverBecomeTheKey) {
    const PixelPicture stripes = picture(8, 2, [](int x, int) { return x % 2 ? 0x646464u : 0x000000u; });
    const PixelPicture half = resize_keyed(stripes, 4, 1, white);
    for (const unsigned p : half.pixels) EXPECT_NEAR(static_cast<int>(p & 0xFF), 0x32, 2);
    const PixelPicture nearly_white = picture(4, 1, [](int x, int) { return x % 2 ? 0xFFFFFEu : 0xFEFFFFu; });
    for (const unsigned p : resize_keyed(nearly_white, 2, 1, white).pixels) EXPECT_NE(p, white);
    EXPECT_EQ(resize_keyed(stripes, 8, 2, white).pixels, stripes.pixels);
}

}  // namespace
}  // namespace tockly
