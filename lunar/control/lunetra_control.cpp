#include "lunar/control/lunetra_control.h"

#include <chrono>
#include <new>
#include <string_view>

#include "lunar/core/calendar_facts.h"
#include "lunar/control/lunetra_ids.h"
#include "lunar/control/module.h"
#include "lunar/control/persistence.h"
#include "lunar/core/saved_properties.h"
#include "win32kit/himetric.h"

using namespace win32kit;

namespace lunetra {

namespace {

constexpr const wchar_t* kRangeDescription =
    L"The date lies outside the lunar calendar's table (1900-01-31 .. 2091-02-17).";

std::chrono::year_month_day LocalToday() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return std::chrono::year{now.wYear} / std::chrono::month{now.wMonth} / std::chrono::day{now.wDay};
}

lunar::OleDate Today() { return lunar::ToOleDate(LocalToday()); }

}  // namespace

HRESULT ReportError(HRESULT hr, const wchar_t* description) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
        create->SetGUID(IID__Lunetra);
        create->SetSource(const_cast<LPOLESTR>(kProgId));
        create->SetDescription(const_cast<LPOLESTR>(description));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.As(info))) SetErrorInfo(0, info.Get());
    }
    return hr;
}

HRESULT LunetraControl::Create(REFIID riid, void** out) {
    auto* control = new (std::nothrow) LunetraControl();
    if (!control) return E_OUTOFMEMORY;
    const HRESULT hr = control->QueryInterface(riid, out);
    control->Release();
    return hr;
}

LunetraControl::LunetraControl()
    : grid_(LocalToday()),
      page_(grid_, *this),
      click_point_(*this, DIID___Lunetra),
      notify_point_(*this, IID_IPropertyNotifySink) {
    ObjectCreated();
    page_.Update();
}

LunetraControl::~LunetraControl() {
    page_.Destroy();
    ObjectDestroyed();
}

// ---------------------------------------------------------------- IUnknown --

void* LunetraControl::other_interface(REFIID riid) {
    if (riid == IID_IDispatch || riid == IID__Lunetra) return static_cast<ILunetra2*>(this);
    if (riid == IID_IOleWindow) return static_cast<IOleInPlaceObject*>(this);
    if (riid == IID_IViewObject) return static_cast<IViewObject2*>(this);
    if (riid == IID_IPersist || riid == IID_IPersistStream) return static_cast<IPersistStreamInit*>(this);
    if (riid == IID_IProvideClassInfo) return static_cast<IProvideClassInfo2*>(this);
    return nullptr;
}

// --------------------------------------------------------------- properties --

#define LUNETRA_COLOR_PROPERTY(Name)                                   \
    HRESULT LunetraControl::get_##Name(OLE_COLOR* color) {            \
        if (!color) return E_POINTER;                                  \
        *color = grid_.Properties().Name;                              \
        return S_OK;                                                   \
    }                                                                  \
    HRESULT LunetraControl::put_##Name(OLE_COLOR color) {             \
        grid_.Set##Name(color);                                        \
        return AfterLet(DISPID_Lunetra_##Name);                        \
    }

LUNETRA_COLOR_PROPERTY(BottomBackColor)
LUNETRA_COLOR_PROPERTY(DateBackColor)
LUNETRA_COLOR_PROPERTY(GridLinesColor)
LUNETRA_COLOR_PROPERTY(SelectColor)
LUNETRA_COLOR_PROPERTY(TitleBackColor)
LUNETRA_COLOR_PROPERTY(WeekBackColor)
#undef LUNETRA_COLOR_PROPERTY

// The switches hold True (-1) or False (0); any other non-zero value a host
// passes counts as True.
HRESULT LunetraControl::get_ShowVerticalGrid(VARIANT_BOOL* show) {
    if (!show) return E_POINTER;
    *show = grid_.Properties().ShowVerticalGrid ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT LunetraControl::put_ShowVerticalGrid(VARIANT_BOOL show) {
    grid_.SetShowVerticalGrid(show != VARIANT_FALSE);
    return AfterLet(DISPID_Lunetra_ShowVerticalGrid);
}

HRESULT LunetraControl::get_ShowHorizontalGrid(VARIANT_BOOL* show) {
    if (!show) return E_POINTER;
    *show = grid_.Properties().ShowHorizontalGrid ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT LunetraControl::put_ShowHorizontalGrid(VARIANT_BOOL show) {
    grid_.SetShowHorizontalGrid(show != VARIANT_FALSE);
    return AfterLet(DISPID_Lunetra_ShowHorizontalGrid);
}

HRESULT LunetraControl::get_ShowHolidayMarks(VARIANT_BOOL* show) {
    if (!show) return E_POINTER;
    *show = grid_.Properties().ShowHolidayMarks ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT LunetraControl::put_ShowHolidayMarks(VARIANT_BOOL show) {
    grid_.SetShowHolidayMarks(show != VARIANT_FALSE);
    return AfterLet(DISPID_Lunetra_ShowHolidayMarks);
}

HRESULT LunetraControl::get_Value(DATE* value) {
    if (!value) return E_POINTER;
    *value = grid_.Properties().Value;
    return S_OK;
}

HRESULT LunetraControl::put_Value(DATE value) {
    // Any date is kept, even one the lunar table cannot draw; only what is
    // no date at all is refused.
    if (!lunar::IsOleDate(value)) return ReportError(E_INVALIDARG, L"Value is not a date.");
    grid_.SetValue(value);
    return AfterLet(DISPID_Lunetra_Value);
}

HRESULT LunetraControl::AfterLet(DISPID id) {
    return com_boundary([&] {
        NotifyChanged(id);
        return Redraw();
    });
}

HRESULT LunetraControl::Redraw() {
    const bool complete = page_.Update();
    if (view_sink_) view_sink_->OnViewChange(DVASPECT_CONTENT, -1);
    return complete ? S_OK : ReportError(kLunarRangeError, kRangeDescription);
}

void LunetraControl::NotifyChanged(DISPID id) {
    if (loading_) return;
    dirty_ = true;
    AddRef();  // a sink may let go of the control while it is told
    for (const ComPtr<IUnknown>& sink : notify_point_.Sinks()) {
        static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(id);
    }
    Release();
}

// ------------------------------------------------------------------ methods --

template <typename Method>
HRESULT LunetraControl::Answer(BSTR* text, Method&& method) {
    if (!text) return E_POINTER;
    *text = nullptr;
    try {
        *text = AllocBstr(method());
        return *text ? S_OK : E_OUTOFMEMORY;
    } catch (const lunar::DateRangeError&) {
        return ReportError(kLunarRangeError, kRangeDescription);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception&) {
        return ReportError(E_UNEXPECTED, L"The lunar calendar could not answer.");
    }
}

HRESULT LunetraControl::GetChineseDate(DATE theDate, BSTR* text) {
    return Answer(text, [&] { return lunar::GetChineseDate(theDate, grid_.Properties().Value); });
}

HRESULT LunetraControl::GetChineseYear(DATE theDate, BSTR* text) {
    return Answer(text, [&] { return lunar::GetChineseYear(theDate, grid_.Properties().Value); });
}

HRESULT LunetraControl::GetChineseMonth(DATE theDate, BSTR* text) {
    return Answer(text, [&] { return lunar::GetChineseMonth(theDate, grid_.Properties().Value); });
}

HRESULT LunetraControl::GetChineseDay(DATE theDate, BSTR* text) {
    return Answer(text, [&] { return lunar::GetChineseDay(theDate, grid_.Properties().Value); });
}

HRESULT LunetraControl::GetChineseAnimal(DATE theDate, BSTR* text) {
    return Answer(text, [&] { return lunar::GetChineseAnimal(theDate, grid_.Properties().Value); });
}

HRESULT LunetraControl::GetConstellation(DATE theDate, BSTR* text) {
    return Answer(text, [&] { return lunar::GetConstellation(theDate, grid_.Properties().Value); });
}

// --------------------------------------------------------------- page events --

void LunetraControl::OnUserChangedValue() { NotifyChanged(DISPID_Lunetra_Value); }

void LunetraControl::OnPageClick() {
    if (frozen_events_ > 0) return;
    AddRef();
    for (const ComPtr<IUnknown>& sink : click_point_.Sinks()) {
        DISPPARAMS none = {};
        static_cast<IDispatch*>(sink.Get())
            ->Invoke(DISPID_Lunetra_Click, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    }
    Release();
}

// --------------------------------------------------------------- IOleObject --

HRESULT LunetraControl::SetClientSite(IOleClientSite* site) {
    client_site_ = ComPtr<IOleClientSite>(site);
    return S_OK;
}

HRESULT LunetraControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = ComPtr<IOleClientSite>(client_site_).Detach();
    return S_OK;
}

HRESULT LunetraControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT LunetraControl::Close(DWORD save_option) {
    if (dirty_ && client_site_ && (save_option == OLECLOSE_SAVEIFDIRTY || save_option == OLECLOSE_PROMPTSAVE)) {
        client_site_->SaveObject();
    }
    InPlaceDeactivate();
    if (advise_holder_) advise_holder_->SendOnClose();
    return S_OK;
}

HRESULT LunetraControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
HRESULT LunetraControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}
HRESULT LunetraControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
HRESULT LunetraControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

HRESULT LunetraControl::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
    return com_boundary([&] { return RunVerb(verb); });
}

HRESULT LunetraControl::RunVerb(LONG verb) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(verb);
        case OLEIVERB_HIDE:
            UIDeactivate();
            if (page_.hwnd()) ShowWindow(page_.hwnd(), SW_HIDE);
            return S_OK;
        case OLEIVERB_DISCARDUNDOSTATE:
            return S_OK;
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT LunetraControl::InPlaceActivate(LONG verb) {
    if (!client_site_) return E_UNEXPECTED;
    if (!inplace_site_) {
        ComPtr<IOleInPlaceSite> site;
        if (FAILED(client_site_.As(site))) return E_NOINTERFACE;
        if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
        if (FAILED(site->OnInPlaceActivate())) return E_FAIL;
        inplace_site_ = site;
    }
    if (!page_.hwnd()) {
        HWND parent = nullptr;
        if (FAILED(inplace_site_->GetWindow(&parent)) || !parent) return E_FAIL;
        RECT position = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO frame_info = {};
        frame_info.cb = sizeof(frame_info);
        if (FAILED(inplace_site_->GetWindowContext(frame_.Put(), document_.Put(), &position, &clip, &frame_info))) {
            return E_FAIL;
        }
        SizeToLayout(position);
        if (!page_.Create(parent, position_.x, position_.y)) return E_FAIL;
    } else {
        ShowWindow(page_.hwnd(), SW_SHOWNA);
    }
    if ((verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY) && !ui_active_) {
        ui_active_ = true;
        inplace_site_->OnUIActivate();
        if (frame_) frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"Lunetra");
        if (document_) document_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"Lunetra");
        SetFocus(page_.hwnd());
    }
    return S_OK;
}

void LunetraControl::SizeToLayout(const RECT& position) {
    position_ = {position.left, position.top};
    const int width = position.right - position.left;
    const int height = position.bottom - position.top;
    if (lunar::SnapWidth(width) != grid_.Layout().width) grid_.Resize(width, height);
    page_.Update();
    const lunar::PageLayout& layout = grid_.Layout();
    // The page has one height and widths in steps of a pixel per column: ask
    // the container for the size the page took.
    if ((width != layout.width || height != layout.height) && inplace_site_ && !resizing_) {
        resizing_ = true;
        RECT snapped = {position.left, position.top, position.left + layout.width, position.top + layout.height};
        inplace_site_->OnPosRectChange(&snapped);
        resizing_ = false;
    }
}

HRESULT LunetraControl::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs) *verbs = nullptr;
    return OLEOBJ_E_NOVERBS;
}

HRESULT LunetraControl::Update() { return S_OK; }
HRESULT LunetraControl::IsUpToDate() { return S_OK; }

HRESULT LunetraControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_Lunetra;
    return S_OK;
}

HRESULT LunetraControl::GetUserType(DWORD form, LPOLESTR* type) {
    if (!type) return E_POINTER;
    const std::wstring_view text = form == USERCLASSTYPE_APPNAME ? L"Lunetra" : kProgId;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    *type = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*type) return E_OUTOFMEMORY;
    CopyMemory(*type, text.data(), bytes);
    return S_OK;
}

HRESULT LunetraControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    const SIZE pixels = pixels_from_himetric(*size);
    if (lunar::SnapWidth(pixels.cx) == grid_.Layout().width) return S_OK;
    return com_boundary([&] {
        grid_.Resize(pixels.cx, pixels.cy);
        page_.Update();
        page_.Move(position_.x, position_.y);
        return S_OK;
    });
}

HRESULT LunetraControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    size->cx = himetric_from_pixels(grid_.Layout().width, LOGPIXELSX);
    size->cy = himetric_from_pixels(grid_.Layout().height, LOGPIXELSY);
    return S_OK;
}

HRESULT LunetraControl::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!advise_holder_ && FAILED(CreateOleAdviseHolder(advise_holder_.Put()))) return E_OUTOFMEMORY;
    return advise_holder_->Advise(sink, connection);
}

HRESULT LunetraControl::Unadvise(DWORD connection) {
    return advise_holder_ ? advise_holder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT LunetraControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    if (!advise_holder_ && FAILED(CreateOleAdviseHolder(advise_holder_.Put()))) return E_OUTOFMEMORY;
    return advise_holder_->EnumAdvise(advise);
}

HRESULT LunetraControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

HRESULT LunetraControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ------------------------------------------------------- in-place activation --

HRESULT LunetraControl::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = page_.hwnd();
    return *hwnd ? S_OK : E_FAIL;
}

HRESULT LunetraControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT LunetraControl::InPlaceDeactivate() {
    if (!inplace_site_) return S_OK;
    UIDeactivate();
    page_.Destroy();
    frame_.Reset();
    document_.Reset();
    ComPtr<IOleInPlaceSite> site = std::move(inplace_site_);
    site->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT LunetraControl::UIDeactivate() {
    if (!ui_active_) return S_OK;
    ui_active_ = false;
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (document_) document_->SetActiveObject(nullptr, nullptr);
    if (inplace_site_) inplace_site_->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT LunetraControl::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    return com_boundary([&] {
        SizeToLayout(*position);
        page_.Move(position_.x, position_.y);
        return S_OK;
    });
}

HRESULT LunetraControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }
HRESULT LunetraControl::TranslateAccelerator(LPMSG) { return S_FALSE; }
HRESULT LunetraControl::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT LunetraControl::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT LunetraControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT LunetraControl::EnableModeless(BOOL) { return S_OK; }

// --------------------------------------------------------------- IOleControl --

HRESULT LunetraControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT LunetraControl::OnMnemonic(MSG*) { return E_NOTIMPL; }
HRESULT LunetraControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT LunetraControl::FreezeEvents(BOOL freeze) {
    frozen_events_ += freeze ? 1 : (frozen_events_ > 0 ? -1 : 0);
    return S_OK;
}

// -------------------------------------------------------------- IViewObject2 --

HRESULT LunetraControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                             BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc || !bounds) return E_INVALIDARG;
    return com_boundary([&] {
        page_.Update();
        page_.DrawTo(dc, RECT{bounds->left, bounds->top, bounds->right, bounds->bottom});
        return S_OK;
    });
}

HRESULT LunetraControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;
}

HRESULT LunetraControl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
HRESULT LunetraControl::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT LunetraControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    view_aspects_ = aspects;
    view_flags_ = flags;
    view_sink_ = ComPtr<IAdviseSink>(sink);
    return S_OK;
}

HRESULT LunetraControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = view_aspects_;
    if (flags) *flags = view_flags_;
    if (sink) *sink = ComPtr<IAdviseSink>(view_sink_).Detach();
    return S_OK;
}

HRESULT LunetraControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

// ---------------------------------------------------------------- persistence --

HRESULT LunetraControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_Lunetra;
    return S_OK;
}

HRESULT LunetraControl::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT LunetraControl::InitNew() {
    return com_boundary([&] {
        ApplyLoaded(lunar::DefaultProperties(Today()));
        return S_OK;
    });
}

// A record that cannot be read leaves the control as InitNew makes it, not
// half loaded.
HRESULT LunetraControl::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    return com_boundary([&] {
        const lunar::OleDate today = Today();
        lunar::LunetraProperties loaded = lunar::DefaultProperties(today);
        const HRESULT hr = ReadStream(stream, today, loaded);  // leaves the defaults when it fails
        ApplyLoaded(loaded);
        return hr;
    });
}

HRESULT LunetraControl::Save(IStream* stream, BOOL clear_dirty) {
    if (!stream) return E_POINTER;
    return com_boundary([&] {
        const HRESULT hr = WriteStream(stream, grid_.Properties(), Today());
        if (SUCCEEDED(hr) && clear_dirty) dirty_ = false;
        return hr;
    });
}

HRESULT LunetraControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    return com_boundary([&] {
        size->QuadPart = StreamSize(grid_.Properties(), Today());
        return S_OK;
    });
}

HRESULT LunetraControl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    return com_boundary([&] {
        ApplyLoaded(ReadBag(bag, log, Today()));
        return S_OK;
    });
}

HRESULT LunetraControl::Save(IPropertyBag* bag, BOOL clear_dirty, BOOL) {
    if (!bag) return E_POINTER;
    return com_boundary([&] {
        const HRESULT hr = WriteBag(bag, grid_.Properties(), Today());
        if (SUCCEEDED(hr) && clear_dirty) dirty_ = false;
        return hr;
    });
}

void LunetraControl::ApplyLoaded(const lunar::LunetraProperties& p) {
    // The lets in their order; the host is not told, since what it loaded is
    // what the control now holds.
    loading_ = true;
    grid_.SetBottomBackColor(p.BottomBackColor);
    grid_.SetDateBackColor(p.DateBackColor);
    grid_.SetGridLinesColor(p.GridLinesColor);
    grid_.SetSelectColor(p.SelectColor);
    grid_.SetShowVerticalGrid(p.ShowVerticalGrid);
    grid_.SetShowHorizontalGrid(p.ShowHorizontalGrid);
    grid_.SetTitleBackColor(p.TitleBackColor);
    grid_.SetWeekBackColor(p.WeekBackColor);
    grid_.SetShowHolidayMarks(p.ShowHolidayMarks);  // before Value, whose let draws the page
    grid_.SetValue(p.Value);
    if (!page_.Update()) {
        // A stored date whose month the lunar table cannot draw counts as
        // malformed: the page starts on today instead.
        grid_.SetValue(Today());
        page_.Update();
    }
    loading_ = false;
    dirty_ = false;
}

// ------------------------------------------------------ connection points --

HRESULT LunetraControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return com_boundary([&] { return EnumerateConnectionPoints({&click_point_, &notify_point_}, out); });
}

HRESULT LunetraControl::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == DIID___Lunetra) {
        *out = &click_point_;
    } else if (riid == IID_IPropertyNotifySink) {
        *out = &notify_point_;
    } else {
        return CONNECT_E_NOCONNECTION;
    }
    (*out)->AddRef();
    return S_OK;
}

// --------------------------------------------------------------- class info --

HRESULT LunetraControl::GetClassInfo(ITypeInfo** out) { return GetOwnTypeInfo(CLSID_Lunetra, out); }

HRESULT LunetraControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = DIID___Lunetra;
    return S_OK;
}

HRESULT LunetraControl::InterfaceSupportsErrorInfo(REFIID riid) {
    return riid == IID__Lunetra || riid == IID_ILunetra2 ? S_OK : S_FALSE;
}

}  // namespace lunetra
