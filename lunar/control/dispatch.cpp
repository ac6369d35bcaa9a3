// Late binding of ILunetra2 (and so of `_Lunetra`, which it derives from and
// whose DISPIDs it keeps) from the type library the control carries:
// names, DISPIDs, argument counts and types all come from Lunetra.idl, and
// DispInvoke calls the dual interface. What is added here is what automation
// hosts expect beyond that: arguments converted (a reference followed, a
// signed colour taken as unsigned), the errors for wrong counts, and colours
// handed out as Long.
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "lunar/control/lunetra_control.h"
#include "lunar/control/lunetra_ids.h"
#include "lunar/control/module.h"

using namespace win32kit;

namespace lunetra {

namespace {

// The vtable view of the dual interface: DispInvoke calls through it, and
// its members list their [out, retval] parameter.
HRESULT InterfaceTypeInfo(ComPtr<ITypeInfo>& out) {
    ComPtr<ITypeInfo> dispatch;
    HRESULT hr = GetOwnTypeInfo(IID_ILunetra2, dispatch.Put());
    HREFTYPE vtable = 0;
    if (SUCCEEDED(hr)) hr = dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable);
    if (SUCCEEDED(hr)) hr = dispatch->GetRefTypeInfo(vtable, out.Put());
    return hr;
}

// One member as the type library describes it, for one kind of call: in the
// interface itself or in the one it derives from (`_Lunetra` for ILunetra2).
class Member {
public:
    Member(ITypeInfo* info, DISPID id, INVOKEKIND wanted) {
        ComPtr<ITypeInfo> current(info);
        while (current && !description_) {
            if (Find(current.Get(), id, wanted)) {
                info_ = current;
                break;
            }
            current = Base(current.Get());
        }
    }
    ~Member() {
        if (description_) info_->ReleaseFuncDesc(description_);
    }
    Member(const Member&) = delete;
    Member& operator=(const Member&) = delete;

    explicit operator bool() const { return description_ != nullptr; }
    // The interface that declares it: ILunetra2's table of operations starts
    // with the whole of `_Lunetra`'s, so either calls through this object.
    ITypeInfo* declared_in() const { return info_.Get(); }
    WORD kind() const { return static_cast<WORD>(description_->invkind); }
    // The parameters a caller passes: all but the [out, retval] one.
    UINT inputs() const {
        UINT count = 0;
        for (SHORT i = 0; i < description_->cParams; ++i)
            count += (description_->lprgelemdescParam[i].paramdesc.wParamFlags & PARAMFLAG_FRETVAL) ? 0 : 1;
        return count;
    }
    // The automation type of parameter `index`, through typedefs (OLE_COLOR).
    VARTYPE type(UINT index) const {
        const TYPEDESC* described = &description_->lprgelemdescParam[index].tdesc;
        ComPtr<ITypeInfo> alias;
        TYPEATTR* attributes = nullptr;
        if (described->vt == VT_USERDEFINED && SUCCEEDED(info_->GetRefTypeInfo(described->hreftype, alias.Put())) &&
            SUCCEEDED(alias->GetTypeAttr(&attributes))) {
            const VARTYPE aliased =
                attributes->typekind == TKIND_ALIAS ? attributes->tdescAlias.vt : static_cast<VARTYPE>(VT_EMPTY);
            alias->ReleaseTypeAttr(attributes);
            return aliased;
        }
        return described->vt;
    }

private:
    bool Find(ITypeInfo* info, DISPID id, INVOKEKIND wanted) {
        TYPEATTR* attributes = nullptr;
        if (FAILED(info->GetTypeAttr(&attributes))) return false;
        for (UINT i = 0; i < attributes->cFuncs && !description_; ++i) {
            FUNCDESC* function = nullptr;
            if (FAILED(info->GetFuncDesc(i, &function))) continue;
            if (function->memid == id && (function->invkind & wanted)) {
                description_ = function;
            } else {
                info->ReleaseFuncDesc(function);
            }
        }
        info->ReleaseTypeAttr(attributes);
        return description_ != nullptr;
    }

    static ComPtr<ITypeInfo> Base(ITypeInfo* info) {
        ComPtr<ITypeInfo> base;
        TYPEATTR* attributes = nullptr;
        if (FAILED(info->GetTypeAttr(&attributes))) return base;
        const bool derives = attributes->cImplTypes > 0;
        info->ReleaseTypeAttr(attributes);
        HREFTYPE reference = 0;
        if (derives && SUCCEEDED(info->GetRefTypeOfImplType(0, &reference))) info->GetRefTypeInfo(reference, base.Put());
        return base;
    }

    ComPtr<ITypeInfo> info_;
    FUNCDESC* description_ = nullptr;
};

// The argument converted to `type`; a reference is followed first. A colour
// may come as a signed Long (system colours are above 0x7FFFFFFF).
HRESULT Coerce(const VARIANT& argument, VARTYPE type, VARIANT& out) {
    ScopedVariant direct;
    HRESULT hr = VariantCopyInd(direct.get(), const_cast<VARIANT*>(&argument));
    if (SUCCEEDED(hr)) hr = VariantChangeType(&out, direct.get(), 0, type);
    if (FAILED(hr) && type == VT_UI4 && SUCCEEDED(VariantChangeType(&out, direct.get(), 0, VT_I4))) {
        V_VT(&out) = VT_UI4;
        hr = S_OK;
    }
    return hr;
}

// Owns the converted arguments of one call.
struct Arguments {
    std::vector<VARIANT> values;
    ~Arguments() {
        for (VARIANT& value : values) VariantClear(&value);
    }
};

// A read may come as a method call (VBScript asks for both).
INVOKEKIND WantedKind(WORD flags, bool put) {
    if (put) return INVOKE_PROPERTYPUT;
    const bool read = (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0;
    return static_cast<INVOKEKIND>(read ? INVOKE_FUNC | INVOKE_PROPERTYGET : 0);
}

HRESULT CheckCounts(const Member& member, bool put, const DISPPARAMS& params) {
    const UINT inputs = member.inputs();
    if (put) {
        if (params.cArgs != inputs) return DISP_E_BADPARAMCOUNT;
        if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTOPTIONAL;
        return S_OK;
    }
    // Arguments may come by name (`theDate`), by their position in the IDL.
    for (UINT i = 0; i < params.cNamedArgs; ++i)
        if (params.rgdispidNamedArgs[i] < 0 || static_cast<UINT>(params.rgdispidNamedArgs[i]) >= inputs)
            return DISP_E_PARAMNOTFOUND;
    return params.cArgs != inputs ? DISP_E_BADPARAMCOUNT : S_OK;
}

// Converted here rather than in DispInvoke, for the signed colours and so
// that a refused argument is named in `arg_error`. Named arguments are put in
// their places: DispInvoke gets positions only (and the one value of a put,
// named as every put is).
HRESULT ConvertArguments(const Member& member, bool put, const DISPPARAMS& params, Arguments& converted,
                         UINT* arg_error) {
    converted.values.resize(params.cArgs);
    for (VARIANT& value : converted.values) VariantInit(&value);
    for (UINT i = 0; i < params.cArgs; ++i) {
        // rgvarg holds the named arguments first, then the others last to first.
        const UINT position = put ? 0
                              : i < params.cNamedArgs ? static_cast<UINT>(params.rgdispidNamedArgs[i])
                                                      : params.cArgs - 1 - i;
        VARIANT& slot = converted.values[params.cArgs - 1 - position];
        if (V_VT(&slot) != VT_EMPTY) return DISP_E_PARAMNOTFOUND;  // one place given twice
        if (const HRESULT hr = Coerce(params.rgvarg[i], member.type(position), slot); FAILED(hr)) {
            if (arg_error) *arg_error = i;
            return hr;
        }
    }
    return S_OK;
}

// What DispInvoke raised, to the caller when it asked, else let go of.
void HandOver(HRESULT hr, EXCEPINFO& thrown, EXCEPINFO* exception) {
    if (hr == DISP_E_EXCEPTION && !thrown.bstrSource) thrown.bstrSource = SysAllocString(kProgId);
    if (exception) {
        *exception = thrown;
        return;
    }
    SysFreeString(thrown.bstrSource);
    SysFreeString(thrown.bstrDescription);
    SysFreeString(thrown.bstrHelpFile);
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
    return GetOwnTypeInfo(IID_ILunetra2, out);
}

HRESULT LunetraControl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    ComPtr<ITypeInfo> info;
    if (const HRESULT hr = GetOwnTypeInfo(IID_ILunetra2, info.Put()); FAILED(hr)) return hr;
    return DispGetIDsOfNames(info.Get(), names, count, ids);
}

HRESULT LunetraControl::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* arg_error) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_INVALIDARG;
    ComPtr<ITypeInfo> info;
    if (const HRESULT hr = InterfaceTypeInfo(info); FAILED(hr)) return hr;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    const Member member(info.Get(), id, WantedKind(flags, put));
    if (!member) return DISP_E_MEMBERNOTFOUND;
    if (result) VariantInit(result);
    SetErrorInfo(0, nullptr);
    if (const HRESULT hr = CheckCounts(member, put, *params); FAILED(hr)) return hr;

    return com_boundary([&] {
        Arguments converted;
        if (const HRESULT hr = ConvertArguments(member, put, *params, converted, arg_error); FAILED(hr)) return hr;
        DISPPARAMS call = *params;
        call.rgvarg = converted.values.empty() ? nullptr : converted.values.data();
        if (!put) {
            call.cNamedArgs = 0;
            call.rgdispidNamedArgs = nullptr;
        }
        EXCEPINFO thrown = {};
        const HRESULT hr = DispInvoke(static_cast<ILunetra2*>(this), member.declared_in(), id, member.kind(), &call,
                                      result, &thrown, arg_error);
        HandOver(hr, thrown, exception);
        // Colours go out as Long, as they always have.
        if (SUCCEEDED(hr) && result && V_VT(result) == VT_UI4) V_VT(result) = VT_I4;
        return hr;
    });
}

}  // namespace lunetra
