#include "clock/windows/picture.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "win32kit/com_ptr.h"
#include "clock/model/face_layout.h"
#include "win32kit/text_codec.h"
#include "clock/windows/file_system.h"

namespace tockly::win {

using namespace win32kit;

Picture decode_picture(std::string_view bytes) {
    Picture out;
    if (bytes.size() < 6) return out;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return out;
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Put()))) {
        GlobalFree(memory);
        return out;
    }
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(picture.Put()))))
        return out;
    OLE_XSIZE_HIMETRIC hm_width = 0;
    OLE_YSIZE_HIMETRIC hm_height = 0;
    picture->get_Width(&hm_width);
    picture->get_Height(&hm_height);
    ScopedGetDc screen(nullptr);
    // HIMETRIC (0.01 mm) to pixels of this screen.
    out.width = MulDiv(hm_width, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    out.height = MulDiv(hm_height, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    if (out.width <= 0 || out.height <= 0 || out.width > 8192 || out.height > 8192) return Picture{};
    unique_memory_dc dc(CreateCompatibleDC(screen));
    out.bitmap.reset(CreateCompatibleBitmap(screen, out.width, out.height));
    if (!dc || !out.bitmap) return Picture{};
    {
        ScopedSelect select(dc.get(), out.bitmap.get());
        RECT all{0, 0, out.width, out.height};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        // IPicture draws bottom-up in HIMETRIC: start at the top and use a negative height.
        if (FAILED(picture->Render(dc.get(), 0, 0, out.width, out.height, 0, hm_height, hm_width, -hm_height,
                                   nullptr)))
            return Picture{};
    }
    return out;
}

Picture load_picture_file(std::string_view utf8_path) {
    Win32FileSystem files;
    const auto bytes = files.read_bytes(utf8_path);
    if (!bytes) return {};
    return decode_picture(*bytes);
}

namespace {

BITMAPINFO top_down_32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

Picture resized_picture(const Picture& picture, int width, int height) {
    if (!picture || width <= 0 || height <= 0) return {};
    PixelPicture source{picture.width, picture.height,
                        std::vector<unsigned>(static_cast<std::size_t>(picture.width) * picture.height)};
    BITMAPINFO info = top_down_32(picture.width, picture.height);
    ScopedGetDc screen(nullptr);
    if (GetDIBits(screen, picture.bitmap.get(), 0, static_cast<UINT>(picture.height), source.pixels.data(), &info,
                  DIB_RGB_COLORS) != picture.height)
        return {};
    for (unsigned& p : source.pixels) p &= 0xFFFFFF;
    const PixelPicture resized = resize_keyed(source, width, height, 0xFFFFFF);
    Picture out;
    out.width = width;
    out.height = height;
    info = top_down_32(width, height);
    void* bits = nullptr;
    out.bitmap.reset(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!out.bitmap || !bits) return {};
    std::memcpy(bits, resized.pixels.data(), resized.pixels.size() * sizeof(unsigned));
    GdiFlush();
    return out;
}

}  // namespace tockly::win
