#include "clock/windows/lunar_control_host.h"

#include <ole2.h>

#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

LunarControlHost::~LunarControlHost() {
    if (site_) site_->Close();
}

bool LunarControlHost::create(HWND window, const RECT& position, const std::string& program_folder) {
    win32kit::ComPtr<IUnknown> control;
    lunetra::CreatedBy how{};
    if (FAILED(lunetra::CreateLunetra(widen(program_folder + "Lunetra.ocx"), control, &how))) return false;
    // Its default properties, as a container gives a new control.
    win32kit::ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(control.As(persist))) persist->InitNew();
    if (FAILED(control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(control_.Put())))) return false;
    site_ = ComPtr<lunetra::ControlSite>::Attach(new lunetra::ControlSite(window));
    site_->Activate(control.Get(), position);
    source_ = how == lunetra::CreatedBy::ProgId ? "registered" : "beside the program";
    return true;
}

void LunarControlHost::create_on_first_use(HWND window, const RECT& position, std::string program_folder) {
    place_ = Place{window, position, std::move(program_folder)};
}

std::optional<std::string> LunarControlHost::call(DISPID method, double ole_date) {
    if (!control_ && place_) {
        const Place place = std::move(*place_);
        place_.reset();
        create(place.window, place.position, place.program_folder);
    }
    if (!control_) return std::nullopt;
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_DATE;
    argument.date = ole_date;
    DISPPARAMS params{&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = control_->Invoke(method, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                                        nullptr, nullptr);
    std::optional<std::string> text;
    if (SUCCEEDED(hr) && result.vt == VT_BSTR)
        text = narrow(std::wstring_view(result.bstrVal, SysStringLen(result.bstrVal)));
    VariantClear(&result);  // the returned text is ours to free
    return text;
}

std::optional<LunarTexts> LunarControlHost::texts_for(double ole_date) {
    const auto year = call(DISPID_Lunetra_GetChineseYear, ole_date);
    const auto month = call(DISPID_Lunetra_GetChineseMonth, ole_date);
    const auto day = call(DISPID_Lunetra_GetChineseDay, ole_date);
    const auto animal = call(DISPID_Lunetra_GetChineseAnimal, ole_date);
    const auto sign = call(DISPID_Lunetra_GetConstellation, ole_date);
    if (!year || !month || !day || !animal || !sign) return std::nullopt;
    return LunarTexts{*year, *month, *day, *animal, *sign};
}

double today_ole_date() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    now.wHour = now.wMinute = now.wSecond = now.wMilliseconds = 0;
    double date = 0;
    SystemTimeToVariantTime(&now, &date);
    return date;
}

}  // namespace tockly::win
