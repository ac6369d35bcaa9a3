#include "win32kit/fonts.h"

#include <windows.h>

#include <cmath>
#include <cwchar>
#include <map>

#include "win32kit/handles.h"
#include "win32kit/text_codec.h"

namespace win32kit {

namespace {

int CALLBACK note_font_found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool font_exists(const std::wstring& face) {
    ScopedGetDc dc(nullptr);
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, note_font_found, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

std::wstring available_face(const char* design_face) {
    static std::map<std::string, std::wstring> chosen;
    if (const auto it = chosen.find(design_face); it != chosen.end()) return it->second;
    std::wstring face = widen(design_face);
    if (!font_exists(face)) {
        for (const wchar_t* fallback : {L"SimSun", L"NSimSun", L"WenQuanYi Zen Hei", L"文泉驿正黑",
                                        L"Noto Sans CJK SC", L"Microsoft YaHei"}) {
            if (font_exists(fallback)) {
                face = fallback;
                break;
            }
        }
    }
    chosen[design_face] = face;
    return face;
}

unique_hfont font_from_points(const FontDesign& design, int dpi) {
    if (dpi <= 0) {
        ScopedGetDc screen(nullptr);
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
    }
    const int height = -static_cast<int>(std::lround(design.points * dpi / 72.0));
    return unique_hfont(CreateFontW(height, 0, 0, 0, design.weight, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, design.quality, DEFAULT_PITCH,
                                    available_face(design.face).c_str()));
}

}  // namespace win32kit
