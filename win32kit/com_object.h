// IUnknown for COM objects of our own. `ComPart` answers QueryInterface over
// the interfaces an object lists and leaves the reference count to the
// object: a static class factory, or a part living inside a larger object
// whose count it shares. `ComObject` adds the usual count of its own: it
// starts with one reference, owned by whoever made it with `new`.
#pragma once

#include <windows.h>
#include <unknwn.h>

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

}  // namespace win32kit
