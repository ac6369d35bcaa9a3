// Lunetra.ocx, the lunar-calendar control's in-process server. For now it
// offers no class yet: every request for a class object is declined.
#include <windows.h>
#include <ole2.h>

extern "C" {

__declspec(dllexport) HRESULT __stdcall DllGetClassObject(REFCLSID, REFIID, void** out) {
    if (out) *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) HRESULT __stdcall DllCanUnloadNow() { return S_OK; }
__declspec(dllexport) HRESULT __stdcall DllRegisterServer() { return S_OK; }
__declspec(dllexport) HRESULT __stdcall DllUnregisterServer() { return S_OK; }

}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
