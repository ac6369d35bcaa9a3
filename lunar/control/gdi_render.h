// GDI side of the month page: the persistent drawing surfaces and the
// rendering of the model's drawings into them.
#pragma once

#include <windows.h>

#include <string>

#include "lunar/core/month_grid.h"
#include "win32kit/handles.h"

namespace lunetra {

// A memory DC with a bitmap selected into it: the surface every drawing goes
// to and every paint copies from.
class Surface {
public:
    Surface() = default;
    Surface(int width, int height);
    Surface(Surface&&) = default;
    Surface& operator=(Surface&&) = default;
    // The DC goes first: a bitmap still selected into one cannot be deleted.
    ~Surface() { dc_.reset(); }

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    // In this order, so that a move lets go of the old DC before its bitmap.
    win32kit::unique_memory_dc dc_;
    win32kit::unique_hbitmap bitmap_;
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
    // The text face at another height, for the marks that scale with the cell.
    win32kit::unique_hfont TextOfHeight(int pixels) const;

private:
    std::wstring text_face_;
    win32kit::unique_hfont text_;
    win32kit::unique_hfont symbols_;
};

// Draws the operations in order, shifted by (dx, dy).
void Render(HDC dc, const lunar::Drawing& drawing, const PageFonts& fonts, int dx = 0, int dy = 0);

}  // namespace lunetra
