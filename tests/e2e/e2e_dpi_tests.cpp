// The clock on screens of more dots per inch: with LogPixels at 120, 144 and
// 192 the face drawn on the screen is 1.25, 1.5 and 2 times the 96-dpi face,
// whole, with the dial where the 96-dpi face has it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <thread>

#include "tests/e2e/e2e_support.h"

namespace tockly::e2e {
namespace {

using namespace std::chrono_literals;

// Sets the logical pixels per inch that programs started from now on see,
// and puts back what was there (96 when nothing was) at the end.
class LogPixels {
public:
    explicit LogPixels(DWORD dpi) {
        DWORD size = sizeof old_;
        had_ = RegGetValueW(HKEY_CURRENT_USER, key, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &old_, &size) ==
               ERROR_SUCCESS;
        set(dpi);
    }
    ~LogPixels() { set(had_ ? old_ : 96); }

private:
    static void set(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, key, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
    static constexpr const wchar_t* key = L"Control Panel\\Desktop";
    DWORD old_ = 96;
    bool had_ = false;
};

struct DrawnFace {
    RECT box{};  // on the screen
    ScreenGrab grab;
    int width() const { return box.right - box.left; }
    int height() const { return box.bottom - box.top; }
};

// Starts the clock at this DPI and finds its face on the screen: everything in
// the top-right corner that is not the desktop behind it.
DrawnFace face_at(DWORD dpi) {
    LogPixels pixels(dpi);
    ProgramFolder folder("dpi-" + std::to_string(dpi));
    folder.write_settings("[ToMin]\r\ntomin=1\r\n");
    RunningClock clock(folder);
    HWND form = clock.wait_for_clock();
    EXPECT_TRUE(form);
    EXPECT_TRUE(eventually([&] { return form && IsWindowVisible(form) != 0; }));
    // The start-up notice crosses the screen first; the face is measured alone.
    EXPECT_TRUE(eventually(
        [&] {
            for (HWND w : clock.windows()) {
                wchar_t cls[64] = {};
                GetClassNameW(w, cls, 64);
                if (std::wstring(cls) == L"TocklyTiShiChuang" && IsWindowVisible(w)) return false;
            }
            return true;
        },
        15s));
    // The X server draws the mouse pointer into its picture of the screen.
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
    std::this_thread::sleep_for(1500ms);
    const int screen_width = GetSystemMetrics(SM_CXSCREEN);
    DrawnFace face;
    face.grab = grab_screen({screen_width - 520, 0, screen_width, 520});
    const unsigned desktop = face.grab.at(face.grab.left, face.grab.top + face.grab.height - 1);
    // E2E_DUMP=<path prefix> keeps what was measured as pictures, to look at.
    if (const char* dump = std::getenv("E2E_DUMP")) {
        FILE* f = std::fopen((std::string(dump) + std::to_string(dpi) + ".ppm").c_str(), "wb");
        std::fprintf(f, "P6 %d %d 255\n", face.grab.width, face.grab.height);
        for (unsigned p : face.grab.pixels) { std::fputc(p >> 16 & 255, f); std::fputc(p >> 8 & 255, f); std::fputc(p & 255, f); }
        std::fclose(f);
    }
    face.box = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (int y = face.grab.top; y < face.grab.top + face.grab.height; ++y)
        for (int x = face.grab.left; x < face.grab.left + face.grab.width; ++x)
            if (face.grab.at(x, y) != desktop) {
                face.box.left = std::min<LONG>(face.box.left, x);
                face.box.top = std::min<LONG>(face.box.top, y);
                face.box.right = std::max<LONG>(face.box.right, x + 1);
                face.box.bottom = std::max<LONG>(face.box.bottom, y + 1);
            }
    return face;
}

int channel_distance(unsigned a, unsigned b) {
    int most = 0;
    for (int shift : {0, 8, 16})
        most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return most;
}

TEST(HighDpi, TheDrawnFaceGrowsWithTheDpiAndStaysWhole) {
    if (!screen_readable()) GTEST_SKIP() << "the screen can only be read on the test's own Xvfb";
    const DrawnFace at96 = face_at(96);
    // The 96-dpi face: the picture of 200 pixels, cut round by the region.
    ASSERT_GE(at96.width(), 190);
    ASSERT_LE(at96.width(), 202);
    ASSERT_GE(at96.height(), 185);
    // Points on the plain dial 72 pixels from the centre at 96 dpi: beyond the
    // second hand (70), inside the faint ring (77) and the hour marks.
    const POINT dial[] = {{-51, -51}, {51, -51}, {-51, 51}, {51, 51}};
    const auto centre = [](const DrawnFace& f) { return POINT{(f.box.left + f.box.right) / 2, (f.box.top + f.box.bottom) / 2}; };
    for (const DWORD dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const double factor = dpi / 96.0;
        const DrawnFace face = face_at(dpi);
        // Within a pixel or two: the larger drawings have finer edges.
        EXPECT_NEAR(face.width(), at96.width() * factor, 1 + 2 * factor);
        EXPECT_NEAR(face.height(), at96.height() * factor, 1 + 2 * factor);
        // Whole: its right edge overhangs the screen as the 96-dpi face does, grown.
        const int screen_width = GetSystemMetrics(SM_CXSCREEN);
        EXPECT_NEAR(screen_width - face.box.right, (screen_width - at96.box.right) * factor, 1 + 2 * factor);
        for (const POINT p : dial) {
            const unsigned want = at96.grab.at(centre(at96).x + p.x, centre(at96).y + p.y);
            const unsigned seen = face.grab.at(centre(face).x + static_cast<int>(std::lround(p.x * factor)),
                                               centre(face).y + static_cast<int>(std::lround(p.y * factor)));
            EXPECT_LE(channel_distance(seen, want), 24)
                << "at (" << p.x << ", " << p.y << "): seen " << std::hex << seen << ", at 96 dpi " << want;
        }
    }
}

}  // namespace
}  // namespace tockly::e2e
