// The four entry points of Lunetra.ocx and the class factory of `Lunetra`.
#include <windows.h>
#include <ole2.h>

#include <utility>

#include "lunar/control/lunetra_control.h"
#include "lunar/control/lunetra_ids.h"
#include "win32kit/com_object.h"
#include "lunar/control/module.h"
#include "win32kit/module_file.h"
#include "lunar/control/page_window.h"

namespace lunetra {

namespace {

HINSTANCE g_instance = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;
ITypeLib* g_type_lib = nullptr;  // loaded on first use; let go in DllCanUnloadNow

class ClassFactory final : public win32kit::ComPart<IClassFactory> {
public:
    // The factory is static; its references keep the server loaded instead.
    ULONG STDMETHODCALLTYPE AddRef() override {
        InterlockedIncrement(&g_locks);
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        InterlockedDecrement(&g_locks);
        return 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return LunetraControl::Create(riid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&g_locks);
        } else {
            InterlockedDecrement(&g_locks);
        }
        return S_OK;
    }
};

ClassFactory g_factory;

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

std::wstring ModulePath() { return win32kit::module_path(g_instance); }

void ObjectCreated() { InterlockedIncrement(&g_objects); }
void ObjectDestroyed() { InterlockedDecrement(&g_objects); }

HRESULT GetOwnTypeLib(ITypeLib** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!g_type_lib) {
        ITypeLib* lib = nullptr;
        const HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &lib);
        if (FAILED(hr)) return hr;
        g_type_lib = lib;
    }
    g_type_lib->AddRef();
    *out = g_type_lib;
    return S_OK;
}

HRESULT GetOwnTypeInfo(REFGUID guid, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ITypeLib* lib = nullptr;
    const HRESULT hr = GetOwnTypeLib(&lib);
    if (FAILED(hr)) return hr;
    const HRESULT found = lib->GetTypeInfoOfGuid(guid, out);
    lib->Release();
    return found;
}

}  // namespace lunetra

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        lunetra::g_instance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: a later load may sit elsewhere in memory.
        lunetra::UnregisterWindowClasses();
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_Lunetra) return CLASS_E_CLASSNOTAVAILABLE;
    return lunetra::g_factory.QueryInterface(riid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    if (lunetra::g_objects != 0 || lunetra::g_locks != 0) return S_FALSE;
    if (ITypeLib* lib = std::exchange(lunetra::g_type_lib, nullptr)) lib->Release();
    return S_OK;
}

HRESULT STDAPICALLTYPE DllRegisterServer() { return lunetra::RegisterServer(); }

HRESULT STDAPICALLTYPE DllUnregisterServer() { return lunetra::UnregisterServer(); }

}
