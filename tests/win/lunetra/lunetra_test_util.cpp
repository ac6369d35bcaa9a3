#include "tests/win/lunetra/lunetra_test_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "win32kit/handles.h"
#include "win32kit/himetric.h"
#include "win32kit/module_file.h"

using namespace win32kit;

namespace lunetra_test {

namespace {

// COM for the whole run, in a single-threaded apartment as hosts have it.
class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const g_ole = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

std::wstring OcxPath() { return win32kit::module_folder() + L"Lunetra.ocx"; }
std::wstring ViewPath() { return win32kit::module_folder() + L"LunetraView.exe"; }

int RunProcess(const std::wstring& command_line, DWORD timeout_ms) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::wstring line = command_line;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return -1;
    }
    int code = -1;
    if (WaitForSingleObject(process.hProcess, timeout_ms) == WAIT_OBJECT_0) {
        DWORD exit_code = 0;
        GetExitCodeProcess(process.hProcess, &exit_code);
        code = static_cast<int>(exit_code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

ComPtr<IDispatch> NewControl() {
    ComPtr<IUnknown> control;
    if (FAILED(lunetra::CreateLunetraFromFile(OcxPath(), control))) return {};
    return As<IDispatch>(control.Get());
}

ComPtr<IDispatch> NewInitialisedControl() {
    ComPtr<IDispatch> control = NewControl();
    if (control) As<IPersistStreamInit>(control.Get())->InitNew();
    return control;
}

lunar::OleDate Ole(std::chrono::year_month_day day, int seconds_of_day) {
    return lunar::ToOleDate(day) + seconds_of_day / 86400.0;
}

std::chrono::year_month_day LocalToday() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return std::chrono::year{now.wYear} / std::chrono::month{now.wMonth} / std::chrono::day{now.wDay};
}

Variant Variant::Date(double date) {
    Variant v;
    V_VT(&v.v_) = VT_DATE;
    V_DATE(&v.v_) = date;
    return v;
}

Variant Variant::I4(LONG value) {
    Variant v;
    V_VT(&v.v_) = VT_I4;
    V_I4(&v.v_) = value;
    return v;
}

Variant Variant::Bool(bool value) {
    Variant v;
    V_VT(&v.v_) = VT_BOOL;
    V_BOOL(&v.v_) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::R8(double value) {
    Variant v;
    V_VT(&v.v_) = VT_R8;
    V_R8(&v.v_) = value;
    return v;
}

Variant Variant::Str(const wchar_t* text) {
    Variant v;
    V_VT(&v.v_) = VT_BSTR;
    V_BSTR(&v.v_) = SysAllocString(text);
    return v;
}

std::wstring Variant::Describe() const {
    std::wostringstream out;
    switch (V_VT(&v_)) {
        case VT_EMPTY: out << L"empty"; break;
        case VT_I4: out << L"I4 0x" << std::hex << static_cast<unsigned long>(V_I4(&v_)); break;
        case VT_BOOL: out << L"BOOL " << V_BOOL(&v_); break;
        case VT_DATE: out << L"DATE " << V_DATE(&v_); break;
        case VT_R8: out << L"R8 " << V_R8(&v_); break;
        case VT_BSTR: out << L"BSTR \"" << (V_BSTR(&v_) ? V_BSTR(&v_) : L"") << L"\""; break;
        default: out << L"vt " << V_VT(&v_); break;
    }
    return out.str();
}

bool Variant::operator==(const Variant& other) const {
    if (V_VT(&v_) != V_VT(&other.v_)) return false;
    switch (V_VT(&v_)) {
        case VT_EMPTY: return true;
        case VT_I4: return V_I4(&v_) == V_I4(&other.v_);
        case VT_BOOL: return V_BOOL(&v_) == V_BOOL(&other.v_);
        case VT_DATE: return V_DATE(&v_) == V_DATE(&other.v_);
        case VT_R8: return V_R8(&v_) == V_R8(&other.v_);
        case VT_BSTR: return VarBstrCmp(V_BSTR(&v_), V_BSTR(&other.v_), 0, 0) == static_cast<HRESULT>(VARCMP_EQ);
        default: return false;
    }
}

namespace {

CallResult Call(IDispatch* control, DISPID id, WORD flags, std::vector<Variant>& arguments, bool put) {
    CallResult call;
    // DISPPARAMS holds the arguments last to first.
    std::vector<VARIANT> reversed;
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(**it);
    DISPID put_id = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), put ? &put_id : nullptr,
                         static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    call.hr = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, call.result.get(), &call.exception,
                              &call.arg_error);
    return call;
}

}  // namespace

CallResult CallMethod(IDispatch* control, DISPID id, std::vector<Variant> arguments) {
    return Call(control, id, DISPATCH_METHOD, arguments, false);
}

CallResult GetProperty(IDispatch* control, DISPID id) {
    std::vector<Variant> none;
    return Call(control, id, DISPATCH_PROPERTYGET, none, false);
}

CallResult PutProperty(IDispatch* control, DISPID id, Variant value) {
    std::vector<Variant> arguments{value};
    return Call(control, id, DISPATCH_PROPERTYPUT, arguments, true);
}

std::wstring Text(IDispatch* control, DISPID id, double date) {
    CallResult call = CallMethod(control, id, {Variant::Date(date)});
    if (FAILED(call.hr)) {
        wchar_t text[48];
        swprintf(text, 48, L"<error 0x%08lX scode 0x%08lX>", static_cast<unsigned long>(call.hr),
                 static_cast<unsigned long>(call.exception.scode));
        return text;
    }
    if (call.result.type() != VT_BSTR) return L"<not a string>";
    return V_BSTR(call.result.get()) ? V_BSTR(call.result.get()) : L"";
}

Connection::Connection(IUnknown* control, REFIID iid, IUnknown* sink) {
    ComPtr<IConnectionPointContainer> points = As<IConnectionPointContainer>(control);
    if (!points) return;
    hr_ = points->FindConnectionPoint(iid, point_.Put());
    if (SUCCEEDED(hr_)) hr_ = point_->Advise(sink, &cookie_);
}

Connection::~Connection() {
    if (point_ && cookie_) point_->Unadvise(cookie_);
}

HRESULT MemoryBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    const auto it = entries.find(name);
    if (it == entries.end()) return E_INVALIDARG;
    return VariantCopy(value, const_cast<VARIANT*>(&*it->second));
}

HRESULT MemoryBag::Write(LPCOLESTR name, VARIANT* value) {
    written.push_back(name);
    entries[name] = Variant(*value);
    return S_OK;
}

HostWindow::HostWindow(int width, int height) {
    static const bool registered = [] {
        WNDCLASSEXW window_class = {};
        window_class.cbSize = sizeof(window_class);
        window_class.lpfnWndProc = HostProc;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        window_class.lpszClassName = L"LunetraTestHost";
        return RegisterClassExW(&window_class) != 0;
    }();
    (void)registered;
    hwnd_ = CreateWindowExW(0, L"LunetraTestHost", L"Lunetra test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                            0, 0, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void PumpMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

ControlPicture::ControlPicture(IUnknown* control) {
    SIZEL himetric = {};
    As<IOleObject>(control)->GetExtent(DVASPECT_CONTENT, &himetric);
    const SIZE size = pixels_from_himetric(himetric);
    width_ = size.cx;
    height_ = size.cy;
    ScopedGetDc screen(nullptr);
    const unique_memory_dc dc(CreateCompatibleDC(screen));
    const unique_hbitmap bitmap(CreateCompatibleBitmap(screen, width_, height_));
    ScopedSelect select(dc.get(), bitmap.get());
    const RECTL bounds = {0, 0, width_, height_};
    As<IViewObject>(control)->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc.get(), &bounds, nullptr,
                                   nullptr, 0);
    pixels_.resize(static_cast<std::size_t>(width_ * height_));
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) pixels_[static_cast<std::size_t>(y * width_ + x)] = GetPixel(dc.get(), x, y);
    }
}

COLORREF ControlPicture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return pixels_[static_cast<std::size_t>(y * width_ + x)];
}

ScreenPicture::ScreenPicture(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    width_ = client.right;
    height_ = client.bottom;
    ScopedGetDc screen(nullptr);
    const unique_memory_dc dc(CreateCompatibleDC(screen));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const unique_hbitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedSelect select(dc.get(), bitmap.get());
    BitBlt(dc.get(), 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    pixels_.assign(static_cast<const std::uint32_t*>(bits),
                   static_cast<const std::uint32_t*>(bits) + static_cast<std::size_t>(width_ * height_));
}

COLORREF ScreenPicture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const std::uint32_t rgb = pixels_[static_cast<std::size_t>(y * width_ + x)] & 0xFFFFFF;
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool ScreenPicture::SaveBmp(const std::wstring& path) const {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width_;
    info.biHeight = -height_;
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD data_size = static_cast<DWORD>(pixels_.size() * sizeof(std::uint32_t));
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + data_size;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof(file), &written, nullptr) && WriteFile(out, &info, sizeof(info), &written, nullptr) &&
              WriteFile(out, pixels_.data(), data_size, &written, nullptr);
    CloseHandle(out);
    return ok;
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%06X", value);
    return text;
}

std::wstring VersionString(const std::wstring& file, const wchar_t* name) {
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), nullptr);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, info.data())) return L"<missing>";
    struct Translation {
        WORD language;
        WORD code_page;
    }* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof(Translation)) {
        return L"<missing>";
    }
    wchar_t path[64];
    swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->code_page, name);
    wchar_t* text = nullptr;
    if (!VerQueryValueW(info.data(), path, reinterpret_cast<void**>(&text), &length)) return L"<missing>";
    return std::wstring(text, length > 0 && text[length - 1] == 0 ? length - 1 : length);
}

std::string FileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace lunetra_test
