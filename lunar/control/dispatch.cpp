// Late binding of `_Lunetra`: names to DISPIDs and Invoke by DISPID, with the
// arguments converted the way automation hosts expect and the errors they
// expect for wrong members, counts and types.
#include <windows.h>
#include <oleauto.h>

#include "lunetra_control.h"
#include "lunetra_ids.h"
#include "module.h"

namespace lunetra {

namespace {

enum class Kind { Color, Switch, Date, Method };

struct Member {
    const wchar_t* name;
    DISPID id;
    Kind kind;
};

constexpr Member kMembers[] = {
    {L"BottomBackColor", kDispBottomBackColor, Kind::Color},
    {L"DateBackColor", kDispDateBackColor, Kind::Color},
    {L"GridLinesColor", kDispGridLinesColor, Kind::Color},
    {L"SelectColor", kDispSelectColor, Kind::Color},
    {L"ShowVerticalGrid", kDispShowVerticalGrid, Kind::Switch},
    {L"ShowHorizontalGrid", kDispShowHorizontalGrid, Kind::Switch},
    {L"TitleBackColor", kDispTitleBackColor, Kind::Color},
    {L"WeekBackColor", kDispWeekBackColor, Kind::Color},
    {L"Value", kDispValue, Kind::Date},
    {L"GetChineseDate", kDispGetChineseDate, Kind::Method},
    {L"GetChineseYear", kDispGetChineseYear, Kind::Method},
    {L"GetChineseMonth", kDispGetChineseMonth, Kind::Method},
    {L"GetChineseDay", kDispGetChineseDay, Kind::Method},
    {L"GetChineseAnimal", kDispGetChineseAnimal, Kind::Method},
    {L"GetConstellation", kDispGetConstellation, Kind::Method},
};

constexpr const wchar_t* kArgumentName = L"theDate";

const Member* FindMember(DISPID id) {
    for (const Member& member : kMembers) {
        if (member.id == id) return &member;
    }
    return nullptr;
}

bool SameName(const wchar_t* a, const wchar_t* b) { return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL; }

// The argument converted to `type`; a reference is followed first.
HRESULT Coerce(const VARIANT& argument, VARTYPE type, VARIANT& out) {
    VARIANT direct;
    VariantInit(&direct);
    HRESULT hr = VariantCopyInd(&direct, const_cast<VARIANT*>(&argument));
    if (SUCCEEDED(hr)) hr = VariantChangeType(&out, &direct, 0, type);
    VariantClear(&direct);
    return hr;
}

HRESULT CoerceColor(const VARIANT& argument, OLE_COLOR& color) {
    VARIANT out;
    VariantInit(&out);
    HRESULT hr = Coerce(argument, VT_I4, out);
    if (SUCCEEDED(hr)) {
        color = static_cast<OLE_COLOR>(V_I4(&out));
        return S_OK;
    }
    // Colours above 0x7FFFFFFF (system colours) may come unsigned.
    if (SUCCEEDED(Coerce(argument, VT_UI4, out))) {
        color = V_UI4(&out);
        return S_OK;
    }
    return hr;
}

// A failed call as automation reports it: DISP_E_EXCEPTION, with the error
// and its description in the exception information.
HRESULT Exception(HRESULT hr, EXCEPINFO* exception) {
    ComPtr<IErrorInfo> error;
    const bool described = GetErrorInfo(0, error.Put()) == S_OK && error;
    if (!exception) return DISP_E_EXCEPTION;
    *exception = {};
    exception->scode = hr;
    if (described) {
        error->GetSource(&exception->bstrSource);
        error->GetDescription(&exception->bstrDescription);
    } else {
        exception->bstrSource = SysAllocString(kProgId);
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT LunetraControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT LunetraControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return GetOwnTypeInfo(IID__Lunetra, out);
}

HRESULT LunetraControl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const Member* found = nullptr;
    for (const Member& member : kMembers) {
        if (SameName(names[0], member.name)) found = &member;
    }
    if (!found) return DISP_E_UNKNOWNNAME;
    ids[0] = found->id;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        if (found->kind == Kind::Method && i == 1 && SameName(names[i], kArgumentName)) {
            ids[i] = 0;
        } else {
            hr = DISP_E_UNKNOWNNAME;
        }
    }
    return hr;
}

HRESULT LunetraControl::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* arg_error) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_INVALIDARG;
    const Member* member = FindMember(id);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    if (result) VariantInit(result);
    SetErrorInfo(0, nullptr);

    if (member->kind == Kind::Method) {
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
        // The one argument may come by position or by its name.
        if (params->cNamedArgs > 1 || (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != 0)) {
            return DISP_E_PARAMNOTFOUND;
        }
        if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT date;
        VariantInit(&date);
        if (const HRESULT hr = Coerce(params->rgvarg[0], VT_DATE, date); FAILED(hr)) {
            if (arg_error) *arg_error = 0;
            return hr;
        }
        Bstr text;
        HRESULT hr = E_UNEXPECTED;
        switch (id) {
            case kDispGetChineseDate: hr = GetChineseDate(V_DATE(&date), text.Put()); break;
            case kDispGetChineseYear: hr = GetChineseYear(V_DATE(&date), text.Put()); break;
            case kDispGetChineseMonth: hr = GetChineseMonth(V_DATE(&date), text.Put()); break;
            case kDispGetChineseDay: hr = GetChineseDay(V_DATE(&date), text.Put()); break;
            case kDispGetChineseAnimal: hr = GetChineseAnimal(V_DATE(&date), text.Put()); break;
            case kDispGetConstellation: hr = GetConstellation(V_DATE(&date), text.Put()); break;
            default: break;
        }
        if (FAILED(hr)) return Exception(hr, exception);
        if (result) {
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = text.Detach();
        }
        return S_OK;
    }

    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
            return DISP_E_PARAMNOTOPTIONAL;
        }
        const VARIANT& argument = params->rgvarg[0];
        HRESULT hr = S_OK;
        if (member->kind == Kind::Color) {
            OLE_COLOR color = 0;
            hr = CoerceColor(argument, color);
            if (FAILED(hr)) {
                if (arg_error) *arg_error = 0;
                return hr;
            }
            switch (id) {
                case kDispBottomBackColor: hr = put_BottomBackColor(color); break;
                case kDispDateBackColor: hr = put_DateBackColor(color); break;
                case kDispGridLinesColor: hr = put_GridLinesColor(color); break;
                case kDispSelectColor: hr = put_SelectColor(color); break;
                case kDispTitleBackColor: hr = put_TitleBackColor(color); break;
                case kDispWeekBackColor: hr = put_WeekBackColor(color); break;
                default: break;
            }
        } else {
            VARIANT value;
            VariantInit(&value);
            hr = Coerce(argument, member->kind == Kind::Switch ? VT_BOOL : VT_DATE, value);
            if (FAILED(hr)) {
                if (arg_error) *arg_error = 0;
                return hr;
            }
            if (id == kDispValue) {
                hr = put_Value(V_DATE(&value));
            } else if (id == kDispShowVerticalGrid) {
                hr = put_ShowVerticalGrid(V_BOOL(&value));
            } else {
                hr = put_ShowHorizontalGrid(V_BOOL(&value));
            }
        }
        return FAILED(hr) ? Exception(hr, exception) : S_OK;
    }

    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = S_OK;
    if (member->kind == Kind::Color) {
        OLE_COLOR color = 0;
        switch (id) {
            case kDispBottomBackColor: hr = get_BottomBackColor(&color); break;
            case kDispDateBackColor: hr = get_DateBackColor(&color); break;
            case kDispGridLinesColor: hr = get_GridLinesColor(&color); break;
            case kDispSelectColor: hr = get_SelectColor(&color); break;
            case kDispTitleBackColor: hr = get_TitleBackColor(&color); break;
            case kDispWeekBackColor: hr = get_WeekBackColor(&color); break;
            default: break;
        }
        V_VT(&value) = VT_I4;
        V_I4(&value) = static_cast<LONG>(color);
    } else if (member->kind == Kind::Switch) {
        V_VT(&value) = VT_BOOL;
        hr = id == kDispShowVerticalGrid ? get_ShowVerticalGrid(&V_BOOL(&value))
                                         : get_ShowHorizontalGrid(&V_BOOL(&value));
    } else {
        V_VT(&value) = VT_DATE;
        hr = get_Value(&V_DATE(&value));
    }
    if (FAILED(hr)) return Exception(hr, exception);
    if (result) *result = value;
    return S_OK;
}

}  // namespace lunetra
