// One small owner per handle type; nothing is freed by hand elsewhere. COM
// pointers are in com_ptr.h.
#pragma once

#include <windows.h>

#include <memory>

namespace win32kit {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ h) const { if (h) DeleteObject(h); }
};
using unique_hbitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using unique_hfont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using unique_hbrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using unique_hpen = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;
using unique_hrgn = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;

struct DcDeleter {
    void operator()(HDC h) const { if (h) DeleteDC(h); }
};
using unique_memory_dc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct HandleCloser {
    void operator()(HANDLE h) const { if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h); }
};
using unique_handle = std::unique_ptr<void, HandleCloser>;

// A window's DC for the length of a scope.
class ScopedGetDc {
public:
    explicit ScopedGetDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ScopedGetDc() { if (dc_) ReleaseDC(hwnd_, dc_); }
    ScopedGetDc(const ScopedGetDc&) = delete;
    ScopedGetDc& operator=(const ScopedGetDc&) = delete;
    operator HDC() const { return dc_; }
private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC and puts the old one back at the end of the scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~ScopedSelect() { SelectObject(dc_, old_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace win32kit
