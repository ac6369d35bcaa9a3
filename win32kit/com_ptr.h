// COM ownership for both programs and the tests: an owning interface pointer,
// an owning BSTR and VARIANT, and COM itself for the length of a scope.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <unknwn.h>

#include <string>
#include <string_view>
#include <utility>

namespace win32kit {

// Owns one reference of an interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a reference of its own; the caller keeps theirs.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) {
        ComPtr copy(other);
        Swap(copy);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr moved(std::move(other));
        Swap(moved);
        return *this;
    }

    // Takes over the caller's reference (a new object, or one handed out
    // by an API), without AddRef.
    static ComPtr Attach(T* p) {
        ComPtr owner;
        owner.p_ = p;
        return owner;
    }
    // Hands the reference to the caller.
    T* Detach() { return std::exchange(p_, nullptr); }

    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    // For functions that hand out a reference: releases the old one first.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    template <typename U>
    HRESULT As(ComPtr<U>& out) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(__uuidof(U), out.PutVoid());
    }

private:
    T* p_ = nullptr;
};

// Owns a BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : b_(SysAllocString(text)) {}
    explicit Bstr(const std::wstring& text)
        : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        std::swap(b_, other.b_);
        return *this;
    }
    ~Bstr() { SysFreeString(b_); }

    BSTR* Put() {
        SysFreeString(std::exchange(b_, nullptr));
        return &b_;
    }
    BSTR Get() const { return b_; }
    BSTR Detach() { return std::exchange(b_, nullptr); }
    std::wstring Text() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

// Owns a VARIANT: empty to begin with, cleared at the end of the scope.
class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&v_); }
    ~ScopedVariant() { VariantClear(&v_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT* get() { return &v_; }
    const VARIANT& operator*() const { return v_; }

private:
    VARIANT v_;
};

// A new BSTR holding the UTF-8 text; null when out of memory.
BSTR AllocBstr(std::string_view utf8);

// OLE for the thread from here to the end of the scope. Declared before
// every COM object of the scope, so that all of them are released first.
class OleSession {
public:
    OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (ok_) OleUninitialize();
    }
    explicit operator bool() const { return ok_; }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

private:
    bool ok_;
};

}  // namespace win32kit
