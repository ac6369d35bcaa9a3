// LunetraView.exe: the lunar calendar on its own, in a small window. It hosts
// one Lunetra control (registered or straight from Lunetra.ocx beside it),
// with the 休/班 marks of the holiday arrangement on, and shows the lunar
// date of the selected day in its caption. `LunetraView.exe 2026-10-01`
// opens on that day instead of today.
#include <windows.h>
#include <ocidl.h>

#include <cstdio>
#include <optional>
#include <string>

#include "win32kit/com_object.h"
#include "win32kit/com_ptr.h"
#include "win32kit/himetric.h"
#include "lunar/control/lunetra_host.h"
#include "lunar/control/lunetra_ids.h"
#include "win32kit/module_file.h"

namespace {

using namespace win32kit;

constexpr const wchar_t* kWindowClass = L"LunetraView";
constexpr const wchar_t* kCaption = L"Lunetra";

// The caption: "Lunetra - 农历甲辰年一月初一", asked of the control by DISPID
// as any late-bound host would.
std::wstring CaptionFor(IDispatch* control) {
    ScopedVariant value;
    DISPPARAMS none = {};
    if (FAILED(control->Invoke(DISPID_Lunetra_Value, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                               value.get(), nullptr, nullptr))) {
        return kCaption;
    }
    ScopedVariant text;
    DISPPARAMS argument = {value.get(), nullptr, 1, 0};
    std::wstring caption = kCaption;
    if (SUCCEEDED(control->Invoke(DISPID_Lunetra_GetChineseDate, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                  &argument, text.get(), nullptr, nullptr)) &&
        V_VT(text.get()) == VT_BSTR) {
        caption += L" - ";
        caption += V_BSTR(text.get());
    }
    return caption;
}

// A property let by DISPID, as any late-bound host makes it. A control older
// than the property has no such member and goes on without it.
void Let(IDispatch* control, DISPID id, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS argument = {&value, &named, 1, 1};
    control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &argument, nullptr, nullptr, nullptr);
}

void ShowHolidayMarks(IDispatch* control) {
    VARIANT on;
    VariantInit(&on);
    V_VT(&on) = VT_BOOL;
    V_BOOL(&on) = VARIANT_TRUE;
    Let(control, DISPID_Lunetra_ShowHolidayMarks, on);
}

// The day a command line such as "2026-10-01" names; nothing for any other.
std::optional<double> StartDay(const wchar_t* command_line) {
    SYSTEMTIME day = {};
    int year = 0, month = 0, date = 0;
    wchar_t rest = 0;
    if (swscanf(command_line, L" %4d-%2d-%2d %lc", &year, &month, &date, &rest) != 3) return std::nullopt;
    day.wYear = static_cast<WORD>(year);
    day.wMonth = static_cast<WORD>(month);
    day.wDay = static_cast<WORD>(date);
    FILETIME checked = {};  // refuses 2026-02-30 and the like
    double ole = 0;
    if (year < 1901 || year > 2090 || !SystemTimeToFileTime(&day, &checked) || !SystemTimeToVariantTime(&day, &ole))
        return std::nullopt;
    return ole;
}

void ShowDay(IDispatch* control, double day) {
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_DATE;
    V_DATE(&value) = day;
    Let(control, DISPID_Lunetra_Value, value);
}

// Keeps the caption in step with the control's Value.
class CaptionUpdater final : public ComObject<IPropertyNotifySink> {
public:
    CaptionUpdater(HWND window, IDispatch* control) : window_(window), control_(control) {}
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        if (id == DISPID_Lunetra_Value) SetWindowTextW(window_, CaptionFor(control_).c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

private:
    HWND window_;
    IDispatch* control_;  // the control outlives the connection
};

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// The control's own size in pixels (it snaps whatever it is given).
SIZE ControlSize(IOleObject* control) {
    SIZEL himetric = {};
    control->GetExtent(DVASPECT_CONTENT, &himetric);
    return pixels_from_himetric(himetric);
}

int Run(HINSTANCE instance, const wchar_t* command_line, int show) {
    ComPtr<IUnknown> control;
    if (FAILED(lunetra::CreateLunetra(win32kit::module_folder() + lunetra::kOcxFileName, control))) {
        MessageBoxW(nullptr, L"农历控件 Lunetra.ocx 不可用。", kCaption, MB_ICONERROR | MB_OK);
        return 1;
    }
    ComPtr<IPersistStreamInit> persist;
    ComPtr<IOleObject> object;
    ComPtr<IDispatch> dispatch;
    if (FAILED(control.As(persist)) || FAILED(control.As(object)) || FAILED(control.As(dispatch))) return 1;
    persist->InitNew();
    ShowHolidayMarks(dispatch.Get());
    if (const auto day = StartDay(command_line)) ShowDay(dispatch.Get(), *day);

    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = ViewProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kWindowClass;
    RegisterClassExW(&window_class);

    const SIZE size = ControlSize(object.Get());
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame = {0, 0, size.cx, size.cy};
    AdjustWindowRect(&frame, kStyle, FALSE);
    HWND window = CreateWindowExW(0, kWindowClass, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  nullptr);
    if (!window) return 1;

    const auto site = ComPtr<lunetra::ControlSite>::Attach(new lunetra::ControlSite(window));
    site->Activate(control.Get(), RECT{0, 0, size.cx, size.cy});

    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> changes;
    DWORD cookie = 0;
    const auto updater = ComPtr<CaptionUpdater>::Attach(new CaptionUpdater(window, dispatch.Get()));
    if (SUCCEEDED(control.As(points)) && SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, changes.Put()))) {
        changes->Advise(updater.Get(), &cookie);
    }
    SetWindowTextW(window, CaptionFor(dispatch.Get()).c_str());
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    if (changes) changes->Unadvise(cookie);
    site->Close();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show) {
    const OleSession ole;
    if (!ole) return 1;
    return Run(instance, command_line ? command_line : L"", show);
}
