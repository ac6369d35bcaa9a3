// Hosting Lunetra: creating the control, by its ProgID when it is registered
// and otherwise straight from Lunetra.ocx beside the program, and a small
// container site that shows it in place in one window. Used by LunetraView
// and the tests; the clock can create its control the same way.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>

#include "win32kit/com_object.h"
#include "win32kit/com_ptr.h"

namespace lunetra {

enum class CreatedBy { ProgId, File };

// Loads the server file (once per process; it stays loaded) and asks its
// class factory for a control. Needs no registration.
HRESULT CreateLunetraFromFile(const std::wstring& ocx_path, win32kit::ComPtr<IUnknown>& control);

// By ProgID "Lunetra2.Lunetra" when registered, else from `ocx_path`.
HRESULT CreateLunetra(const std::wstring& ocx_path, win32kit::ComPtr<IUnknown>& control, CreatedBy* how = nullptr);

// A client and in-place site for one control in one window. The control
// keeps a reference to it while it is connected.
class ControlSite final : public win32kit::ComObject<IOleClientSite, IOleInPlaceSite> {
public:
    explicit ControlSite(HWND window) : window_(window) {}

    // Gives the control this site and activates it in place at `position`
    // (client coordinates of the window). The control must be initialised
    // (InitNew or Load) by the caller.
    HRESULT Activate(IUnknown* control, const RECT& position);
    // Deactivates and closes the control and lets go of it.
    void Close();
    // Where the control is in the window: as activated, or as it last asked to be.
    const RECT& position() const { return position_; }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override;

private:
    void* other_interface(REFIID riid) override {
        return riid == IID_IOleWindow ? static_cast<IOleInPlaceSite*>(this) : nullptr;
    }

    HWND window_;
    RECT position_ = {};
    win32kit::ComPtr<IOleObject> control_;
};

}  // namespace lunetra
