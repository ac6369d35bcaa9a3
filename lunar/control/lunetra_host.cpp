#include "lunar/control/lunetra_host.h"

#include "lunar/control/lunetra_ids.h"

using namespace win32kit;

namespace lunetra {

HRESULT CreateLunetraFromFile(const std::wstring& ocx_path, ComPtr<IUnknown>& control) {
    // The server stays loaded for the life of the process: controls from it
    // may outlive any one caller, and COM does not know to unload it.
    HMODULE server = LoadLibraryExW(ocx_path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!server) return HRESULT_FROM_WIN32(GetLastError());
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto get_class_object =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(server, "DllGetClassObject")));
    if (!get_class_object) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    ComPtr<IClassFactory> factory;
    HRESULT hr = get_class_object(CLSID_Lunetra, IID_IClassFactory, factory.PutVoid());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(nullptr, IID_IUnknown, control.PutVoid());
}

HRESULT CreateLunetra(const std::wstring& ocx_path, ComPtr<IUnknown>& control, CreatedBy* how) {
    CLSID clsid = {};
    if (SUCCEEDED(CLSIDFromProgID(kProgId, &clsid)) &&
        SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.PutVoid()))) {
        if (how) *how = CreatedBy::ProgId;
        return S_OK;
    }
    const HRESULT hr = CreateLunetraFromFile(ocx_path, control);
    if (SUCCEEDED(hr) && how) *how = CreatedBy::File;
    return hr;
}

HRESULT ControlSite::Activate(IUnknown* control, const RECT& position) {
    if (!control) return E_POINTER;
    position_ = position;
    ComPtr<IOleObject> object;
    HRESULT hr = control->QueryInterface(IID_IOleObject, object.PutVoid());
    if (FAILED(hr)) return hr;
    hr = object->SetClientSite(this);
    if (FAILED(hr)) return hr;
    control_ = object;
    return object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &position_);
}

void ControlSite::Close() {
    if (!control_) return;
    ComPtr<IOleObject> control = std::move(control_);
    control->Close(OLECLOSE_NOSAVE);
    control->SetClientSite(nullptr);
}

HRESULT ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT ControlSite::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT ControlSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
}

HRESULT ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    // No frame and no document window: the control lives in a plain window.
    if (frame) *frame = nullptr;
    if (document) *document = nullptr;
    if (position) *position = position_;
    if (clip) GetClientRect(window_, clip);
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT ControlSite::OnPosRectChange(LPCRECT position) {
    if (!position) return E_POINTER;
    position_ = *position;
    ComPtr<IOleInPlaceObject> inplace;
    if (control_ && SUCCEEDED(control_.As(inplace))) inplace->SetObjectRects(&position_, &position_);
    return S_OK;
}

}  // namespace lunetra
