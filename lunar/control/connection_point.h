// The control's two outgoing connections: its Click event (__Lunetra) and
// the property-changed notification (IPropertyNotifySink).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <utility>
#include <vector>

#include "win32kit/com_object.h"
#include "win32kit/com_ptr.h"

namespace lunetra {

// A connection point that lives inside its container object and shares its
// reference count.
class ConnectionPoint final : public win32kit::ComPart<IConnectionPoint> {
public:
    ConnectionPoint(IConnectionPointContainer& container, REFIID iid) : container_(container), iid_(iid) {}

    ULONG STDMETHODCALLTYPE AddRef() override { return container_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return container_.Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    // The connected sinks, each already asked for the interface; a copy, so
    // that a sink may disconnect while it is being called.
    std::vector<win32kit::ComPtr<IUnknown>> Sinks() const;

private:
    IConnectionPointContainer& container_;
    IID iid_;
    std::vector<std::pair<DWORD, win32kit::ComPtr<IUnknown>>> sinks_;
    DWORD next_cookie_ = 1;
};

// Enumerates the container's connection points.
HRESULT EnumerateConnectionPoints(std::vector<IConnectionPoint*> points, IEnumConnectionPoints** out);

}  // namespace lunetra
