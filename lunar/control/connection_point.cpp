#include "lunar/control/connection_point.h"

#include <algorithm>

#include "win32kit/com_object.h"

using namespace win32kit;

namespace lunetra {

namespace {

// Shared by both enumerators: a snapshot of items, each holding a reference.
template <typename Interface, typename Item, typename ItemTraits>
class Enumerator final : public ComObject<Interface> {
public:
    explicit Enumerator(std::vector<Item> items, std::size_t position = 0)
        : items_(std::move(items)), position_(position) {
        for (Item& item : items_) ItemTraits::AddRef(item);
    }
    ~Enumerator() override {
        for (Item& item : items_) ItemTraits::Release(item);
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && position_ < items_.size(); ++n, ++position_) {
            out[n] = items_[position_];
            ItemTraits::AddRef(out[n]);
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const std::size_t left = items_.size() - position_;
        position_ += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(Interface** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return com_boundary([&] {
            *out = new Enumerator(items_, position_);
            return S_OK;
        });
    }

private:
    std::vector<Item> items_;
    std::size_t position_;
};

struct PointTraits {
    static void AddRef(IConnectionPoint* point) { point->AddRef(); }
    static void Release(IConnectionPoint* point) { point->Release(); }
};

struct ConnectionTraits {
    static void AddRef(CONNECTDATA& data) { data.pUnk->AddRef(); }
    static void Release(CONNECTDATA& data) { data.pUnk->Release(); }
};

}  // namespace

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    container_.AddRef();
    *out = &container_;
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    ComPtr<IUnknown> connected;
    if (FAILED(sink->QueryInterface(iid_, connected.PutVoid()))) return CONNECT_E_CANNOTCONNECT;
    return com_boundary([&] {
        sinks_.emplace_back(next_cookie_, std::move(connected));
        *cookie = next_cookie_++;
        return S_OK;
    });
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first == cookie) {
            sinks_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return com_boundary([&] {
        std::vector<CONNECTDATA> items;
        for (const auto& [cookie, sink] : sinks_) items.push_back(CONNECTDATA{sink.Get(), cookie});
        *out = new Enumerator<IEnumConnections, CONNECTDATA, ConnectionTraits>(std::move(items));
        return S_OK;
    });
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
    std::vector<ComPtr<IUnknown>> sinks;
    for (const auto& entry : sinks_) sinks.push_back(entry.second);
    return sinks;
}

HRESULT EnumerateConnectionPoints(std::vector<IConnectionPoint*> points, IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    *out = new Enumerator<IEnumConnectionPoints, IConnectionPoint*, PointTraits>(std::move(points));
    return S_OK;
}

}  // namespace lunetra
