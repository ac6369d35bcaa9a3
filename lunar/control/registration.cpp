// DllRegisterServer and DllUnregisterServer: the class, its ProgID and the
// type library, under HKEY_CLASSES_ROOT as regsvr32 expects.
#include <windows.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "win32kit/com_ptr.h"
#include "lunar/control/lunetra_ids.h"
#include "lunar/control/module.h"
#include "win32kit/registry_read.h"

namespace lunetra {

using namespace win32kit;

namespace {

// The component category "Controls".
constexpr const wchar_t* kCatidControl = L"{40FC6ED4-2438-11CF-A3DB-080036F12502}";

std::wstring GuidText(REFGUID guid) { return guid_text(guid); }

struct RegistryValue {
    std::wstring key;
    const wchar_t* name;  // nullptr = the key's default value
    std::wstring data;
};

std::vector<RegistryValue> ClassEntries(const std::wstring& path) {
    const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_Lunetra);
    return {
        {kProgId, nullptr, kProgId},
        {std::wstring(kProgId) + L"\\CLSID", nullptr, GuidText(CLSID_Lunetra)},
        {clsid, nullptr, kProgId},
        {clsid + L"\\InprocServer32", nullptr, path},
        {clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsid + L"\\ProgID", nullptr, kProgId},
        {clsid + L"\\VERSION", nullptr, L"1.0"},
        {clsid + L"\\TypeLib", nullptr, GuidText(LIBID_Lunetra2)},
        {clsid + L"\\Control", nullptr, L""},
        {clsid + L"\\ToolboxBitmap32", nullptr, path + L", 30000"},
        {clsid + L"\\MiscStatus", nullptr, L"0"},
        {clsid + L"\\MiscStatus\\1", nullptr, std::to_wstring(kMiscStatus)},
        {clsid + L"\\Implemented Categories\\" + kCatidControl, nullptr, L""},
    };
}

LSTATUS WriteValue(const RegistryValue& value) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, value.key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                     &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExW(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data.c_str()),
                            static_cast<DWORD>((value.data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status;
}

std::wstring ReadDefault(const std::wstring& key) { return registry_string(HKEY_CLASSES_ROOT, key).value_or(L""); }

bool KeyExists(const std::wstring& key) { return registry_key_exists(HKEY_CLASSES_ROOT, key); }

// Removes an interface key only while it still describes our type library.
void RemoveInterfaceKey(REFIID iid) {
    const std::wstring key = L"Interface\\" + GuidText(iid);
    if (KeyExists(key) && ReadDefault(key + L"\\TypeLib") == GuidText(LIBID_Lunetra2)) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    }
}

}  // namespace

HRESULT RegisterServer() {
    const std::wstring path = ModulePath();
    for (const RegistryValue& value : ClassEntries(path)) {
        if (WriteValue(value) != ERROR_SUCCESS) {
            UnregisterServer();
            return SELFREG_E_CLASS;
        }
    }
    ComPtr<ITypeLib> lib;
    HRESULT hr = GetOwnTypeLib(lib.Put());
    if (SUCCEEDED(hr)) {
        std::wstring path_copy = path;
        hr = RegisterTypeLib(lib.Get(), path_copy.data(), nullptr);
    }
    if (FAILED(hr)) {
        UnregisterServer();
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

// Removing what is not there is no error: unregistering twice succeeds.
HRESULT UnregisterServer() {
    // The ProgID goes only while it still names our class.
    const std::wstring named_class = ReadDefault(std::wstring(kProgId) + L"\\CLSID");
    if (named_class.empty() || named_class == GuidText(CLSID_Lunetra)) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(CLSID_Lunetra)).c_str());

    UnRegisterTypeLib(LIBID_Lunetra2, 1, 0, LANG_NEUTRAL, SYS_WIN64);
    // Whatever the system left of it (a registration by an older file).
    RemoveInterfaceKey(IID__Lunetra);
    RemoveInterfaceKey(IID_ILunetra2);
    RemoveInterfaceKey(DIID___Lunetra);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"TypeLib\\" + GuidText(LIBID_Lunetra2)).c_str());
    return S_OK;
}

}  // namespace lunetra
