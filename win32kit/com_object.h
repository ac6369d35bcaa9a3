// IUnknown for COM objects of our own. `ComPart` answers QueryInterface over
// the interfaces an object lists and leaves the reference count to the
// object: a static class factory, or a part living inside a larger object
// whose count it shares. `ComObject` adds the usual count of its own: it
// starts with one reference, owned by whoever made it with `new`.
// `com_boundary` keeps exceptions inside a method.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <new>

namespace win32kit {

template <typename... Interfaces>
class ComPart : public Interfaces... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown) *out = static_cast<IUnknown*>(static_cast<First*>(this));
        // The first listed interface that is, or derives from, the one asked for.
        ((*out == nullptr && riid == __uuidof(Interfaces) ? (*out = static_cast<Interfaces*>(this)) : nullptr), ...);
        if (!*out) *out = other_interface(riid);
        if (!*out) return E_NOINTERFACE;
        static_cast<First*>(this)->AddRef();
        return S_OK;
    }

protected:
    virtual ~ComPart() = default;
    // An interface not listed, such as the base of a listed one.
    virtual void* other_interface(REFIID) { return nullptr; }

private:
    template <typename F, typename...>
    struct FirstOf {
        using type = F;
    };
    using First = typename FirstOf<Interfaces...>::type;
};

template <typename... Interfaces>
class ComObject : public ComPart<Interfaces...> {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = InterlockedDecrement(&refs_);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

protected:
    ~ComObject() override = default;

private:
    LONG refs_ = 1;
};

// The body of a COM method, run so that no exception crosses into the
// caller: a host written in C, or by another compiler, cannot catch it and
// would end. Running out of memory is E_OUTOFMEMORY, anything else
// E_UNEXPECTED.
template <typename Body>
HRESULT com_boundary(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace win32kit
