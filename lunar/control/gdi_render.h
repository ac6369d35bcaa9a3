// GDI side of the month page: the persistent drawing surfaces and the
// rendering of the model's drawings into them.
#pragma once

#include <windows.h>

#include <memory>

#include "lunar/core/month_grid.h"

namespace lunetra {

// Owns one GDI object (brush, pen, font, bitmap).
struct GdiObjectDeleter {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

// A memory DC with a bitmap selected into it: the surface every drawing goes
// to and every paint copies from.
class Surface {
public:
    Surface() = default;
    Surface(int width, int height);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;
    ~Surface();

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void Release();

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The two faces the page draws with.
class PageFonts {
public:
    PageFonts();
    HFONT text() const { return text_.get(); }
    // Marlett, or null where it is missing: the arrows are drawn as shapes.
    HFONT symbols() const { return symbols_.get(); }

private:
    GdiObject<HFONT> text_;
    GdiObject<HFONT> symbols_;
};

// OLE colour (system colours included) to a GDI colour.
COLORREF ToColorRef(lunar::OleColor color);

// Draws the operations in order, shifted by (dx, dy).
void Render(HDC dc, const lunar::Drawing& drawing, const PageFonts& fonts, int dx = 0, int dy = 0);

}  // namespace lunetra
