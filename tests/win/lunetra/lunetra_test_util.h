// Helpers of the Lunetra tests: the files beside the test program, a new
// control, calls by DISPID, sinks that record what the control tells, a
// property bag in memory and a window to host the control in.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "win32kit/com_object.h"
#include "win32kit/com_ptr.h"
#include "win32kit/text_codec.h"
#include "lunar/control/lunetra_host.h"
#include "lunar/control/lunetra_ids.h"
#include "lunar/core/ole_date.h"

namespace lunetra_test {


std::wstring OcxPath();
std::wstring ViewPath();

// Runs a command line and returns its exit code (or -1 when it did not run
// or took longer than `timeout_ms`).
int RunProcess(const std::wstring& command_line, DWORD timeout_ms = 30000);

// A new control straight from Lunetra.ocx (no registration needed).
win32kit::ComPtr<IDispatch> NewControl();
// The same, initialised as a new instance (InitNew).
win32kit::ComPtr<IDispatch> NewInitialisedControl();

template <typename T>
win32kit::ComPtr<T> As(IUnknown* object) {
    win32kit::ComPtr<T> result;
    object->QueryInterface(__uuidof(T), result.PutVoid());
    return result;
}

lunar::OleDate Ole(std::chrono::year_month_day day, int seconds_of_day = 0);
std::chrono::year_month_day LocalToday();

// VARIANT values; the caller's Variant clears itself.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    explicit Variant(const VARIANT& v) {
        VariantInit(&v_);
        VariantCopy(&v_, const_cast<VARIANT*>(&v));
    }
    Variant(const Variant& other) : Variant(other.v_) {}
    Variant& operator=(const Variant& other) {
        if (this != &other) {
            VariantClear(&v_);
            VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));
        }
        return *this;
    }
    ~Variant() { VariantClear(&v_); }
    static Variant Date(double date);
    static Variant I4(LONG value);
    static Variant Bool(bool value);
    static Variant R8(double value);
    static Variant Str(const wchar_t* text);

    VARIANT* get() { return &v_; }
    const VARIANT& operator*() const { return v_; }
    VARTYPE type() const { return V_VT(&v_); }
    std::wstring Describe() const;
    bool operator==(const Variant& other) const;

private:
    VARIANT v_;
};

struct CallResult {
    HRESULT hr = E_FAIL;
    Variant result;
    EXCEPINFO exception = {};
    UINT arg_error = 0xFFFF;

    CallResult() = default;
    CallResult(const CallResult&) = default;
    ~CallResult() {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
};

// A call of method `id` with its arguments in the order written.
CallResult CallMethod(IDispatch* control, DISPID id, std::vector<Variant> arguments);
CallResult GetProperty(IDispatch* control, DISPID id);
CallResult PutProperty(IDispatch* control, DISPID id, Variant value);
// The text a method returns, or "<error 0x...>".
std::wstring Text(IDispatch* control, DISPID id, double date);

// The sinks below live on the test's stack and keep the reference they
// start with, so a control that lets go of them once too often deletes a
// stack object and the test crashes.

// Records the DISPIDs of IPropertyNotifySink::OnChanged.
class ChangeRecorder final : public win32kit::ComObject<IPropertyNotifySink> {
public:
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        changes.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

    std::vector<DISPID> changes;
};

// Counts the Click events of __Lunetra.
class ClickCounter final : public win32kit::ComObject<IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (id == DISPID_Lunetra_Click) ++clicks;
        else ++others;
        return S_OK;
    }

    int clicks = 0;
    int others = 0;

private:
    void* other_interface(REFIID riid) override {
        return riid == DIID___Lunetra ? static_cast<IDispatch*>(this) : nullptr;
    }
};

// Connects a sink for the time of a test.
class Connection {
public:
    Connection(IUnknown* control, REFIID iid, IUnknown* sink);
    ~Connection();
    HRESULT hr() const { return hr_; }

private:
    win32kit::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
    HRESULT hr_ = E_FAIL;
};

// A property bag in memory that remembers the order of the writes.
class MemoryBag final : public win32kit::ComObject<IPropertyBag> {
public:
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

    std::map<std::wstring, Variant> entries;
    std::vector<std::wstring> written;
};

// A top-level window that hosts one control through lunetra::ControlSite.
class HostWindow {
public:
    explicit HostWindow(int width = 400, int height = 300);
    ~HostWindow();
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// Handles the thread's messages for about `ms` milliseconds.
void PumpMessages(DWORD ms);

// The colour of one pixel of what the control draws (through IViewObject::Draw).
class ControlPicture {
public:
    explicit ControlPicture(IUnknown* control);
    COLORREF At(int x, int y) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    std::vector<COLORREF> pixels_;
    int width_ = 0;
    int height_ = 0;
};

// Captures a window's client area from the screen, as a screenshot would.
class ScreenPicture {
public:
    explicit ScreenPicture(HWND window);
    COLORREF At(int x, int y) const;
    bool SaveBmp(const std::wstring& path) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top-down
    int width_ = 0;
    int height_ = 0;
};

std::string Hex(unsigned value);

// One string of a file's version information ("FileDescription", ...) in the
// file's first language, or "<missing>".
std::wstring VersionString(const std::wstring& file, const wchar_t* name);

// A whole file's bytes ("" when it cannot be read).
std::string FileBytes(const std::wstring& path);

}  // namespace lunetra_test
