#include "lunar/control/gdi_render.h"

#include <olectl.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "win32kit/colours.h"
#include "win32kit/text_codec.h"
#include "win32kit/com_ptr.h"

namespace lunetra {

using namespace win32kit;

namespace {

// The page's layout counts on Chinese characters 12 and digits 6 pixels
// wide: SimSun at 12 pixels. Where it is missing (under Wine) a face whose
// 12-pixel glyphs come out whole, with digits a pixel wider.
constexpr std::initializer_list<const wchar_t*> kTextFaces = {L"SimSun", L"NSimSun"};
constexpr std::initializer_list<const wchar_t*> kFallbackFaces = {L"WenQuanYi Zen Hei Sharp", L"Noto Sans CJK SC",
                                                                  L"WenQuanYi Zen Hei"};

HFONT MakeFont(const wchar_t* face, BYTE charset) {
    return CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

struct TextWidths {
    int digit;
    int chinese;
    std::wstring face;
};

TextWidths Measure(HFONT font) {
    HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, font);
    SIZE digit = {};
    SIZE chinese = {};
    GetTextExtentPoint32W(screen, L"0", 1, &digit);
    GetTextExtentPoint32W(screen, L"农", 1, &chinese);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, face);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return {digit.cx, chinese.cx, face};
}

// A triangle in place of a Marlett arrow where that font is missing.
void DrawArrow(HDC dc, const std::string& glyph, const RECT& box, COLORREF color) {
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    POINT points[3];
    if (glyph == "3") {  // left
        points[0] = {cx - 2, cy};
        points[1] = {cx + 1, cy - 3};
        points[2] = {cx + 1, cy + 3};
    } else if (glyph == "4") {  // right
        points[0] = {cx + 2, cy};
        points[1] = {cx - 1, cy - 3};
        points[2] = {cx - 1, cy + 3};
    } else {  // "6", down
        points[0] = {cx - 3, cy - 1};
        points[1] = {cx + 3, cy - 1};
        points[2] = {cx, cy + 2};
    }
    GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    const HGDIOBJ old_brush = SelectObject(dc, brush.get());
    const HGDIOBJ old_pen = SelectObject(dc, pen.get());
    Polygon(dc, points, 3);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
}

class Brush {
public:
    explicit Brush(lunar::OleColor color) : brush_(CreateSolidBrush(colorref_from_ole(color))) {}
    HBRUSH get() const { return brush_.get(); }

private:
    GdiObject<HBRUSH> brush_;
};

RECT ToRect(const lunar::Rect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

struct OpRenderer {
    HDC dc;
    const PageFonts& fonts;
    int dx, dy;

    void operator()(const lunar::FillOp& op) const {
        const RECT rect = ToRect(op.rect, dx, dy);
        FillRect(dc, &rect, Brush(op.color).get());
    }
    void operator()(const lunar::LineOp& op) const {
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, colorref_from_ole(op.color)));
        const HGDIOBJ old = SelectObject(dc, pen.get());
        MoveToEx(dc, op.x1 + dx, op.y1 + dy, nullptr);
        LineTo(dc, op.x2 + dx, op.y2 + dy);
        SelectObject(dc, old);
    }
    void operator()(const lunar::TextOp& op) const {
        const std::wstring text = widen(op.text);
        const HGDIOBJ old = SelectObject(dc, fonts.text());
        SetTextColor(dc, colorref_from_ole(op.color));
        TextOutW(dc, op.x + dx, op.y + dy, text.c_str(), static_cast<int>(text.size()));
        SelectObject(dc, old);
    }
    void operator()(const lunar::GlyphOp& op) const {
        RECT box = ToRect(op.box, dx, dy);
        if (!fonts.symbols()) {
            DrawArrow(dc, op.glyph, box, colorref_from_ole(op.color));
            return;
        }
        const std::wstring glyph = widen(op.glyph);
        const HGDIOBJ old = SelectObject(dc, fonts.symbols());
        SetTextColor(dc, colorref_from_ole(op.color));
        DrawTextW(dc, glyph.c_str(), static_cast<int>(glyph.size()), &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        SelectObject(dc, old);
    }
    void operator()(const lunar::EdgeOp& op) const {
        RECT rect = ToRect(op.rect, dx, dy);
        switch (op.style) {
            case lunar::EdgeStyle::Bump: DrawEdge(dc, &rect, EDGE_BUMP, BF_RECT); break;
            case lunar::EdgeStyle::RaisedFlat: DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT | BF_FLAT); break;
            case lunar::EdgeStyle::SunkenOuter: DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT); break;
        }
    }
};

}  // namespace

Surface::Surface(int width, int height) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    old_bitmap_ = SelectObject(dc_, bitmap_);
    SetBkMode(dc_, TRANSPARENT);
}

Surface::Surface(Surface&& other) noexcept
    : dc_(std::exchange(other.dc_, nullptr)),
      bitmap_(std::exchange(other.bitmap_, nullptr)),
      old_bitmap_(std::exchange(other.old_bitmap_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)) {}

Surface& Surface::operator=(Surface&& other) noexcept {
    if (this != &other) {
        Release();
        dc_ = std::exchange(other.dc_, nullptr);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        old_bitmap_ = std::exchange(other.old_bitmap_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}

Surface::~Surface() { Release(); }

void Surface::Release() {
    if (dc_) {
        SelectObject(dc_, old_bitmap_);
        DeleteDC(dc_);
        dc_ = nullptr;
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
}

PageFonts::PageFonts() {
    for (const wchar_t* face : kTextFaces) {
        GdiObject<HFONT> font(MakeFont(face, GB2312_CHARSET));
        const TextWidths widths = Measure(font.get());
        if (widths.face == face && widths.digit == 6 && widths.chinese == 12) {
            text_ = std::move(font);
            break;
        }
    }
    for (const wchar_t* face : kFallbackFaces) {
        if (text_) break;
        GdiObject<HFONT> font(MakeFont(face, GB2312_CHARSET));
        if (Measure(font.get()).face == face) text_ = std::move(font);
    }
    // None of them: let the font mapper pick a Chinese face of that height.
    if (!text_) text_.reset(MakeFont(L"SimSun", GB2312_CHARSET));
    GdiObject<HFONT> symbols(MakeFont(L"Marlett", SYMBOL_CHARSET));
    if (Measure(symbols.get()).face == L"Marlett") symbols_ = std::move(symbols);
}

void Render(HDC dc, const lunar::Drawing& drawing, const PageFonts& fonts, int dx, int dy) {
    SetBkMode(dc, TRANSPARENT);
    const OpRenderer renderer{dc, fonts, dx, dy};
    for (const lunar::DrawOp& op : drawing.ops) std::visit(renderer, op);
}

}  // namespace lunetra
