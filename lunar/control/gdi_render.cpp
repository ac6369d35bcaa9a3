#include "gdi_render.h"

#include <olectl.h>

#include <initializer_list>
#include <utility>

#include "com_util.h"

namespace lunetra {

namespace {

// The page's layout counts on Chinese characters 12 and digits 6 pixels
// wide: SimSun at 12 pixels, or a face drawn the same way where SimSun is
// missing (under Wine, the WenQuanYi faces).
constexpr std::initializer_list<const wchar_t*> kTextFaces = {
    L"SimSun", L"宋体", L"NSimSun", L"WenQuanYi Zen Hei Sharp", L"WenQuanYi Zen Hei Mono", L"WenQuanYi Zen Hei"};

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontInstalled(const wchar_t* face) {
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

HFONT MakeFont(const wchar_t* face, BYTE charset) {
    return CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

class Brush {
public:
    explicit Brush(lunar::OleColor color) : brush_(CreateSolidBrush(ToColorRef(color))) {}
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
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ToColorRef(op.color)));
        const HGDIOBJ old = SelectObject(dc, pen.get());
        MoveToEx(dc, op.x1 + dx, op.y1 + dy, nullptr);
        LineTo(dc, op.x2 + dx, op.y2 + dy);
        SelectObject(dc, old);
    }
    void operator()(const lunar::TextOp& op) const {
        const std::wstring text = Widen(op.text);
        const HGDIOBJ old = SelectObject(dc, fonts.text());
        SetTextColor(dc, ToColorRef(op.color));
        TextOutW(dc, op.x + dx, op.y + dy, text.c_str(), static_cast<int>(text.size()));
        SelectObject(dc, old);
    }
    void operator()(const lunar::GlyphOp& op) const {
        const std::wstring glyph = Widen(op.glyph);
        RECT box = ToRect(op.box, dx, dy);
        const HGDIOBJ old = SelectObject(dc, fonts.symbols());
        SetTextColor(dc, ToColorRef(op.color));
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
        if (FontInstalled(face)) {
            text_.reset(MakeFont(face, GB2312_CHARSET));
            break;
        }
    }
    // No face of the list: let the font mapper pick a Chinese one.
    if (!text_) text_.reset(MakeFont(L"", GB2312_CHARSET));
    symbols_.reset(MakeFont(L"Marlett", SYMBOL_CHARSET));
}

COLORREF ToColorRef(lunar::OleColor color) {
    COLORREF result = 0;
    if (FAILED(OleTranslateColor(color, nullptr, &result))) result = color & 0xFFFFFF;
    return result;
}

void Render(HDC dc, const lunar::Drawing& drawing, const PageFonts& fonts, int dx, int dy) {
    SetBkMode(dc, TRANSPARENT);
    const OpRenderer renderer{dc, fonts, dx, dy};
    for (const lunar::DrawOp& op : drawing.ops) std::visit(renderer, op);
}

}  // namespace lunetra
