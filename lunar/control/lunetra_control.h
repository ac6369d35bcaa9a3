// The control object `Lunetra`: its dual interfaces (`_Lunetra` with the nine
// properties and six methods it was published with, ILunetra2 with what came
// since), and what a container needs of an ActiveX control
// (in-place activation in a window, drawing, persistence, connection points
// for Click and for property changes).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "Lunetra_h.h"
#include "win32kit/com_object.h"
#include "win32kit/com_ptr.h"
#include "lunar/control/connection_point.h"
#include "lunar/core/month_grid.h"
#include "lunar/control/page_window.h"

namespace lunetra {

class LunetraControl final
    : public win32kit::ComObject<ILunetra2, IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl,
                                 IViewObject2, IPersistStreamInit, IPersistPropertyBag, IConnectionPointContainer,
                                 IProvideClassInfo2, ISupportErrorInfo>,
      private PageEvents {
public:
    static HRESULT Create(REFIID riid, void** out);

    // IDispatch (dispatch.cpp)
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* arg_error) override;

    // _Lunetra
    HRESULT STDMETHODCALLTYPE get_BottomBackColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_BottomBackColor(OLE_COLOR color) override;
    HRESULT STDMETHODCALLTYPE get_DateBackColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_DateBackColor(OLE_COLOR color) override;
    HRESULT STDMETHODCALLTYPE get_GridLinesColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_GridLinesColor(OLE_COLOR color) override;
    HRESULT STDMETHODCALLTYPE get_SelectColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_SelectColor(OLE_COLOR color) override;
    HRESULT STDMETHODCALLTYPE get_ShowVerticalGrid(VARIANT_BOOL* show) override;
    HRESULT STDMETHODCALLTYPE put_ShowVerticalGrid(VARIANT_BOOL show) override;
    HRESULT STDMETHODCALLTYPE get_ShowHorizontalGrid(VARIANT_BOOL* show) override;
    HRESULT STDMETHODCALLTYPE put_ShowHorizontalGrid(VARIANT_BOOL show) override;
    HRESULT STDMETHODCALLTYPE get_TitleBackColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_TitleBackColor(OLE_COLOR color) override;
    HRESULT STDMETHODCALLTYPE get_WeekBackColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_WeekBackColor(OLE_COLOR color) override;
    HRESULT STDMETHODCALLTYPE get_Value(DATE* value) override;
    HRESULT STDMETHODCALLTYPE put_Value(DATE value) override;
    HRESULT STDMETHODCALLTYPE GetChineseDate(DATE theDate, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetChineseYear(DATE theDate, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetChineseMonth(DATE theDate, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetChineseDay(DATE theDate, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetChineseAnimal(DATE theDate, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetConstellation(DATE theDate, BSTR* text) override;

    // ILunetra2
    HRESULT STDMETHODCALLTYPE get_ShowHolidayMarks(VARIANT_BOOL* show) override;
    HRESULT STDMETHODCALLTYPE put_ShowHolidayMarks(VARIANT_BOOL show) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD save_option) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                                     LPCRECT position) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspect_info, DVTARGETDEVICE* device,
                                   HDC target_dc, HDC dc, LPCRECTL bounds, LPCRECTL window_bounds,
                                   BOOL(STDMETHODCALLTYPE* keep_going)(ULONG_PTR), ULONG_PTR argument) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspect_info, DVTARGETDEVICE* device,
                                          HDC target_dc, LOGPALETTE** colors) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspect_info, DWORD* freeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clear_dirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clear_dirty, BOOL save_all) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

private:
    LunetraControl();
    ~LunetraControl() override;

    // The bases of the listed interfaces (`_Lunetra` among them), and IPersistStream, which is
    // IPersistStreamInit without InitNew at its end.
    void* other_interface(REFIID riid) override;

    // PageEvents
    void OnUserChangedValue() override;
    void OnPageClick() override;

    // A property let after storing: tell the host, redraw, report a failed redraw.
    HRESULT AfterLet(DISPID id);
    // Redraws what is stale; the out-of-range error when lunar texts failed.
    HRESULT Redraw();
    void NotifyChanged(DISPID id);
    template <typename Method>
    HRESULT Answer(BSTR* text, Method&& method);

    // Sets every property as a new or a loaded control gets it.
    void ApplyLoaded(const lunar::LunetraProperties& properties);
    HRESULT RunVerb(LONG verb);
    HRESULT InPlaceActivate(LONG verb);
    void SizeToLayout(const RECT& position);

    lunar::MonthGrid grid_;
    PageWindow page_;
    ConnectionPoint click_point_;
    ConnectionPoint notify_point_;

    win32kit::ComPtr<IOleClientSite> client_site_;
    win32kit::ComPtr<IOleInPlaceSite> inplace_site_;
    win32kit::ComPtr<IOleInPlaceFrame> frame_;
    win32kit::ComPtr<IOleInPlaceUIWindow> document_;
    win32kit::ComPtr<IOleAdviseHolder> advise_holder_;
    win32kit::ComPtr<IAdviseSink> view_sink_;
    DWORD view_aspects_ = 0;
    DWORD view_flags_ = 0;
    POINT position_ = {};  // of the in-place window in the container's window
    bool ui_active_ = false;
    bool dirty_ = false;
    bool loading_ = false;     // properties come from InitNew or Load: no notifications
    bool resizing_ = false;    // asking the container for the snapped size
    int frozen_events_ = 0;
};

// Sets the error object that callers of the dual interface read.
HRESULT ReportError(HRESULT hr, const wchar_t* description);

}  // namespace lunetra
