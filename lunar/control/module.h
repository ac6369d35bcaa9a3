// Process-wide state of the in-process server: its module handle, the count
// of live objects and locks, and the type library embedded in the file.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <oleidl.h>

#include <string>

namespace lunetra {

// How the control wants to be treated by containers: activated in place as
// soon as it is visible, given its client site before it is loaded.
inline constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                     OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

HINSTANCE ModuleInstance();
// Full path of Lunetra.ocx as loaded.
std::wstring ModulePath();

// Every control object counts itself in and out, so that DllCanUnloadNow
// only lets go of the file when nothing of it is alive.
void ObjectCreated();
void ObjectDestroyed();

// The type library from this file's own resource (no registration needed, so
// that a host may load the file without registering it). Each call adds a
// reference to the result.
HRESULT GetOwnTypeLib(ITypeLib** out);
HRESULT GetOwnTypeInfo(REFGUID guid, ITypeInfo** out);

// Registration of the class, its ProgID and the type library (registration.cpp).
HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace lunetra
