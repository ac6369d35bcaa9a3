// The shared Win32 toolkit against the real (Wine) platform.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>

#include <utility>
#include <vector>

#include "win32kit/colours.h"
#include "win32kit/com_object.h"
#include "win32kit/com_ptr.h"
#include "win32kit/fonts.h"
#include "win32kit/module_file.h"
#include "win32kit/owner_drawn.h"
#include "win32kit/text_codec.h"
#include "win32kit/window.h"

using namespace win32kit;

namespace win32kit {
namespace {

TEST(TextCodec, RoundTripsAndTheAnsiCodePage) {
    // The tests run with the ANSI code page 936 (GBK), as the clock does on a Chinese Windows.
    ASSERT_EQ(GetACP(), 936u);
    struct Case { const char* utf8; const wchar_t* wide; const char* gbk; };
    for (const Case& c : {Case{"", L"", ""}, Case{"Tockly", L"Tockly", "Tockly"},
                          Case{"正点", L"\x6B63\x70B9", "\xD5\xFD\xB5\xE3"},
                          Case{"a\xF0\x9F\x94\x94z", L"a\xD83D\xDD14z", "a??z"}}) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(widen(c.utf8), c.wide);
        EXPECT_EQ(narrow(c.wide), c.utf8);
        EXPECT_EQ(utf8_to_ansi(c.utf8), c.gbk);
        // GBK has no bell: it comes back as a question mark.
        if (std::string(c.gbk).find('?') == std::string::npos) {
            EXPECT_EQ(ansi_to_utf8(c.gbk), c.utf8);
        }
    }
    Bstr text(AllocBstr("农历"));
    EXPECT_EQ(text.Text(), L"\x519C\x5386");
}

TEST(ModuleFile, TheProgramFolderHoldsTheProgramAndEndsInOneBackslash) {
    const std::wstring folder = win32kit::module_folder(), path = win32kit::module_path();
    ASSERT_GT(folder.size(), 2u);
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_NE(folder[folder.size() - 2], L'\\');
    EXPECT_EQ(path.substr(0, folder.size()), folder);
    EXPECT_EQ(path.find(L'\\', folder.size()), std::wstring::npos) << "the rest is the file name alone";
}

TEST(OleColours, PlainAndSystemColours) {
    EXPECT_EQ(colorref_from_ole(0x00123456), 0x00123456u);
    EXPECT_EQ(colorref_from_ole(0x8000000F), GetSysColor(COLOR_BTNFACE)) << "a system colour follows the scheme";
    EXPECT_EQ(colorref_from_ole(0x80000005), GetSysColor(COLOR_WINDOW));
}

TEST(Fonts, PointsAtTheScreenDpi) {
    const unique_hfont font = font_from_points({"宋体", 9, FW_BOLD});
    ASSERT_TRUE(font);
    LOGFONTW described{};
    GetObjectW(font.get(), sizeof described, &described);
    const ScopedGetDc screen(nullptr);
    EXPECT_EQ(described.lfHeight, -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72));
    EXPECT_EQ(described.lfWeight, FW_BOLD);
    EXPECT_EQ(described.lfCharSet, GB2312_CHARSET);
    EXPECT_STREQ(described.lfFaceName, available_face("宋体").c_str());
}

// A COM object of ours, with a count of its deletions.
class Sink final : public ComObject<IPropertyNotifySink> {
public:
    explicit Sink(int& deleted) : deleted_(deleted) {}
    ~Sink() override { ++deleted_; }
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
private:
    int& deleted_;
};

TEST(ComObjects, ReferencesAndInterfaces) {
    int deleted = 0;
    {
        auto sink = ComPtr<Sink>::Attach(new Sink(deleted));  // takes over the first reference
        ComPtr<IUnknown> unknown;
        ASSERT_EQ(sink->QueryInterface(IID_IUnknown, unknown.PutVoid()), S_OK);
        ComPtr<IPropertyNotifySink> same;
        EXPECT_EQ(unknown.As(same), S_OK);
        EXPECT_EQ(static_cast<void*>(same.Get()), static_cast<void*>(static_cast<IPropertyNotifySink*>(sink.Get())));
        ComPtr<IDispatch> none;
        EXPECT_EQ(unknown.As(none), E_NOINTERFACE);
        EXPECT_FALSE(none);
        ComPtr<Sink> copy = sink;
        IPropertyNotifySink* handed_out = ComPtr<IPropertyNotifySink>(sink.Get()).Detach();
        handed_out->Release();
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 1) << "the last owner let go";
}

class Recorder : public Window<Recorder> {
public:
    static const wchar_t* register_class() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = window_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"win32kit.Recorder";
        RegisterClassExW(&wc);
        return wc.lpszClassName;
    }
    void create() {
        CreateWindowExW(0, register_class(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, this);
    }
    void let_go() { destroy_later(); }
    int messages = 0;
    bool saw_create = false;

private:
    friend class Window<Recorder>;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) {
        ++messages;
        saw_create |= msg == WM_CREATE;
        return DefWindowProcW(hwnd_, msg, wp, lp);
    }
};

TEST(WindowBase, MessagesReachTheObjectUntilItLetsGo) {
    Recorder recorder;
    recorder.create();
    const HWND hwnd = recorder.hwnd();
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(recorder.saw_create);
    recorder.let_go();
    EXPECT_FALSE(recorder.hwnd());
    const int before = recorder.messages;
    SendMessageW(hwnd, WM_NULL, 0, 0);
    EXPECT_EQ(recorder.messages, before) << "a window let go of serves nobody";
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_FALSE(IsWindow(hwnd)) << "destroyed from its own queue";
}

// A parent that records what its parent-drawn children ask of it.
struct DrawnParent {
    static inline std::vector<std::pair<UINT, UINT>> asked;  // (message, control id or notification)
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_DRAWITEM) {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item.CtlType == ODT_STATIC && item.hDC && item.rcItem.right == 40 && item.rcItem.bottom == 20)
                asked.emplace_back(msg, item.CtlID);
            return TRUE;
        }
        if (msg == WM_COMMAND) asked.emplace_back(msg, HIWORD(wp) == STN_CLICKED ? LOWORD(wp) : 0u);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
};

TEST(ParentDrawn, DrawsThroughItsParentAndTellsClicksOnlyWithNotify) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(register_parent_drawn_class(instance));
    ASSERT_TRUE(register_parent_drawn_class(instance)) << "a second registration is no failure";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DrawnParent::proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"ParentDrawnTestParent";
    RegisterClassExW(&wc);
    const HWND parent = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                        instance, nullptr);
    ASSERT_TRUE(parent);
    struct Case { int id; DWORD style; LRESULT hit; bool clicked; };
    for (const Case& c : {Case{7, 0, HTTRANSPARENT, false}, Case{8, SS_NOTIFY, HTCLIENT, true}}) {
        SCOPED_TRACE(c.id);
        DrawnParent::asked.clear();
        const HWND child = CreateWindowExW(0, parent_drawn_class, L"text", WS_CHILD | WS_VISIBLE | c.style, 0, 0, 40, 20,
                                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        ASSERT_TRUE(child);
        InvalidateRect(child, nullptr, TRUE);
        SendMessageW(child, WM_PAINT, 0, 0);
        EXPECT_EQ(SendMessageW(child, WM_NCHITTEST, 0, 0), c.hit);
        SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        std::vector<std::pair<UINT, UINT>> wanted{{WM_DRAWITEM, static_cast<UINT>(c.id)}};
        if (c.clicked) wanted.emplace_back(WM_COMMAND, static_cast<UINT>(c.id));
        EXPECT_EQ(DrawnParent::asked, wanted);
        wchar_t text[8] = {};
        GetWindowTextW(child, text, 8);
        EXPECT_STREQ(text, L"text") << "its text is there for whoever reads it";
    }
    DestroyWindow(parent);
}

}  // namespace
}  // namespace win32kit
