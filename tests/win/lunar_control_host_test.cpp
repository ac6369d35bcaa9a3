// The clock's lunar control: found by ProgID or beside the program, called by
// DISPID, and answering what the lunar core answers.
#include <gtest/gtest.h>

#include <ole2.h>

#include "lunar/core/calendar_facts.h"
#include "clock/windows/lunar_control_host.h"
#include "tests/win/win_test_util.h"
#include "win32kit/module_file.h"

using namespace win32kit;

namespace tockly {
namespace {

using wintest::ScratchFolder;

std::string test_program_folder() { return win32kit::narrow(win32kit::module_folder()); }

// Removes the control's registration, so only the file beside the program can serve.
void unregister(const std::string& folder) {
    HMODULE ocx = LoadLibraryW(win32kit::widen(folder + "Lunetra.ocx").c_str());
    ASSERT_NE(ocx, nullptr);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto unregister_server =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(ocx, "DllUnregisterServer")));
    ASSERT_NE(unregister_server, nullptr);
    unregister_server();
}

// The file the control is registered from, empty when it is not registered.
std::wstring registered_file() {
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(lunetra::kProgId, &clsid))) return {};
    wchar_t guid[64] = {};
    StringFromGUID2(clsid, guid, 64);
    const std::wstring key = std::wstring(L"CLSID\\") + guid + L"\\InprocServer32";
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
        return {};
    return path;
}

// The prefix is shared with every other test and with the clock itself: a
// registration taken away here is put back from the same file afterwards.
void register_again(const std::wstring& file) {
    HMODULE ocx = LoadLibraryW(file.c_str());
    ASSERT_NE(ocx, nullptr) << win32kit::narrow(file);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto register_server =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(ocx, "DllRegisterServer")));
    ASSERT_NE(register_server, nullptr);
    EXPECT_EQ(register_server(), S_OK);
    EXPECT_EQ(registered_file(), file) << "the registration is back as it was";
}

struct LunarControlHostRig : ::testing::Test {
    HWND window = nullptr;
    std::wstring registered_before;
    void SetUp() override {
        OleInitialize(nullptr);
        registered_before = registered_file();
        window = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 208, 227, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        if (!registered_before.empty() && registered_file() != registered_before) register_again(registered_before);
        OleUninitialize();
    }
    // Outside the face: left 3090, top 60 twips, 4350 x 3525 twips.
    RECT outside{206, 4, 206 + 290, 4 + 235};
};

TEST_F(LunarControlHostRig, WithoutRegistrationTheControlComesFromTheFileBesideTheProgram) {
    const std::string folder = test_program_folder();
    unregister(folder);
    CLSID clsid{};
    EXPECT_TRUE(FAILED(CLSIDFromProgID(lunetra::kProgId, &clsid))) << "the ProgID should be gone";
    win::LunarControlHost host;
    ASSERT_TRUE(host.create(window, outside, folder));
    EXPECT_STREQ(host.source(), "beside the program");

    const struct { int y; unsigned m, d; } dates[] = {{2026, 12, 7}, {2033, 12, 22}, {1901, 1, 1}, {2090, 12, 31}};
    for (const auto& date : dates) {
        SYSTEMTIME st{};
        st.wYear = static_cast<WORD>(date.y);
        st.wMonth = static_cast<WORD>(date.m);
        st.wDay = static_cast<WORD>(date.d);
        double ole = 0;
        SystemTimeToVariantTime(&st, &ole);
        const auto texts = host.texts_for(ole);
        ASSERT_TRUE(texts) << date.y << "-" << date.m << "-" << date.d;
        EXPECT_EQ(texts->year, lunar::GetChineseYear(ole, ole));
        EXPECT_EQ(texts->month, lunar::GetChineseMonth(ole, ole));
        EXPECT_EQ(texts->day, lunar::GetChineseDay(ole, ole));
        EXPECT_EQ(texts->animal, lunar::GetChineseAnimal(ole, ole));
        EXPECT_EQ(texts->constellation, lunar::GetConstellation(ole, ole));
    }
}

TEST_F(LunarControlHostRig, APlacedControlIsMadeAtTheFirstLunarText) {
    win::LunarControlHost host;
    host.create_on_first_use(window, outside, test_program_folder());
    EXPECT_FALSE(host.available()) << "nothing is loaded before a text is asked for";
    const double today = win::today_ole_date();
    const auto texts = host.texts_for(today);
    ASSERT_TRUE(texts);
    EXPECT_TRUE(host.available());
    EXPECT_EQ(texts->animal, lunar::GetChineseAnimal(today, today));
    HWND shown = FindWindowExW(window, nullptr, nullptr, nullptr);
    EXPECT_TRUE(shown) << "the control is activated in the clock's window, where it was placed";
}

TEST_F(LunarControlHostRig, APlacedControlThatCannotBeMadeIsTriedOnce) {
    unregister(test_program_folder());
    ScratchFolder empty("no-ocx-later");
    win::LunarControlHost host;
    host.create_on_first_use(window, outside, empty.path());
    EXPECT_FALSE(host.texts_for(win::today_ole_date()));
    // The file arrives afterwards: the host does not look again.
    CopyFileW(win32kit::widen(test_program_folder() + "Lunetra.ocx").c_str(),
              win32kit::widen(empty.path() + "Lunetra.ocx").c_str(), FALSE);
    EXPECT_FALSE(host.texts_for(win::today_ole_date()));
    EXPECT_FALSE(host.available());
}

TEST_F(LunarControlHostRig, WithoutRegistrationOrFileTheClockLivesWithoutLunarTexts) {
    unregister(test_program_folder());
    ScratchFolder empty("no-ocx");
    win::LunarControlHost host;
    EXPECT_FALSE(host.create(window, outside, empty.path()));
    EXPECT_FALSE(host.available());
    EXPECT_FALSE(host.texts_for(win::today_ole_date()));
}

TEST(TodayOleDate, HasNoTimeOfDay) {
    const double today = win::today_ole_date();
    EXPECT_EQ(today, static_cast<double>(static_cast<long long>(today)));
    EXPECT_GT(today, 46000);  // after 2025
}

}  // namespace
}  // namespace tockly
