#include "lunar/control/gdi_render.h"

#include <olectl.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "win32kit/colours.h"
#include "win32kit/text_codec.h"
#include "win32kit/handles.h"

namespace lunetra {

using namespace win32kit;

namespace {

// The page's layout counts on Chinese characters 12 and digits 6 pixels
// wide: SimSun at 12 pixels. Where it is missing (under Wine) a face whose
// 12-pixel glyphs come out whole, with digits a pixel wider.
constexpr std::initializer_list<const wchar_t*> kTextFaces = {L"SimSun", L"NSimSun"};
constexpr std::initializer_list<const wchar_t*> kFallbackFaces = {L"WenQuanYi Zen Hei Sharp", L"Noto Sans CJK SC",
                                                                  L"WenQuanYi Zen Hei"};

// `pixels` is the height of the characters, not of the cell.
HFONT MakeFont(const wchar_t* face, BYTE charset, int pixels = 12) {
    return CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

struct TextWidths {
    int digit;
    int chinese;
    std::wstring face;
};

TextWidths Measure(HFONT font) {
    ScopedGetDc screen(nullptr);
    ScopedSelect select(screen, font);
    SIZE digit = {};
    SIZE chinese = {};
    GetTextExtentPoint32W(screen, L"0", 1, &digit);
    GetTextExtentPoint32W(screen, L"农", 1, &chinese);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, face);
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
    const unique_hbrush brush(CreateSolidBrush(color));
    const unique_hpen pen(CreatePen(PS_SOLID, 1, color));
    ScopedSelect select_brush(dc, brush.get());
    ScopedSelect select_pen(dc, pen.get());
    Polygon(dc, points, 3);
}

RECT ToRect(const lunar::Rect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

struct OpRenderer {
    HDC dc;
    const PageFonts& fonts;
    int dx, dy;

    void operator()(const lunar::FillOp& op) const {
        const RECT rect = ToRect(op.rect, dx, dy);
        FillRect(dc, &rect, unique_hbrush(CreateSolidBrush(colorref_from_ole(op.color))).get());
    }
    void operator()(const lunar::LineOp& op) const {
        const unique_hpen pen(CreatePen(PS_SOLID, 1, colorref_from_ole(op.color)));
        ScopedSelect select(dc, pen.get());
        MoveToEx(dc, op.x1 + dx, op.y1 + dy, nullptr);
        LineTo(dc, op.x2 + dx, op.y2 + dy);
    }
    void operator()(const lunar::TextOp& op) const {
        const std::wstring text = widen(op.text);
        ScopedSelect select(dc, fonts.text());
        SetTextColor(dc, colorref_from_ole(op.color));
        TextOutW(dc, op.x + dx, op.y + dy, text.c_str(), static_cast<int>(text.size()));
    }
    void operator()(const lunar::GlyphOp& op) const {
        RECT box = ToRect(op.box, dx, dy);
        if (!fonts.symbols()) {
            DrawArrow(dc, op.glyph, box, colorref_from_ole(op.color));
            return;
        }
        const std::wstring glyph = widen(op.glyph);
        ScopedSelect select(dc, fonts.symbols());
        SetTextColor(dc, colorref_from_ole(op.color));
        DrawTextW(dc, glyph.c_str(), static_cast<int>(glyph.size()), &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    void operator()(const lunar::MarkOp& op) const {
        RECT box = ToRect(op.box, dx, dy);
        const std::wstring text = widen(op.text);
        const unique_hfont font = fonts.TextOfHeight(box.bottom - box.top);
        ScopedSelect select(dc, font.get());
        SetTextColor(dc, colorref_from_ole(op.color));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX);
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
    ScopedGetDc screen(nullptr);
    dc_.reset(CreateCompatibleDC(screen));
    bitmap_.reset(CreateCompatibleBitmap(screen, width, height));
    // Selected for the surface's life; the DC's own one-pixel bitmap is not ours to delete.
    SelectObject(dc_.get(), bitmap_.get());
    SetBkMode(dc_.get(), TRANSPARENT);
}

PageFonts::PageFonts() {
    for (const wchar_t* face : kTextFaces) {
        unique_hfont font(MakeFont(face, GB2312_CHARSET));
        const TextWidths widths = Measure(font.get());
        if (widths.face == face && widths.digit == 6 && widths.chinese == 12) {
            text_ = std::move(font);
            break;
        }
    }
    for (const wchar_t* face : kFallbackFaces) {
        if (text_) break;
        unique_hfont font(MakeFont(face, GB2312_CHARSET));
        if (Measure(font.get()).face == face) text_ = std::move(font);
    }
    // None of them: let the font mapper pick a Chinese face of that height.
    if (!text_) text_.reset(MakeFont(L"SimSun", GB2312_CHARSET));
    text_face_ = Measure(text_.get()).face;
    unique_hfont symbols(MakeFont(L"Marlett", SYMBOL_CHARSET));
    if (Measure(symbols.get()).face == L"Marlett") symbols_ = std::move(symbols);
}

unique_hfont PageFonts::TextOfHeight(int pixels) const {
    return unique_hfont(MakeFont(text_face_.c_str(), GB2312_CHARSET, pixels));
}

void Render(HDC dc, const lunar::Drawing& drawing, const PageFonts& fonts, int dx, int dy) {
    SetBkMode(dc, TRANSPARENT);
    const OpRenderer renderer{dc, fonts, dx, dy};
    for (const lunar::DrawOp& op : drawing.ops) std::visit(renderer, op);
}

}  // namespace lunetra
