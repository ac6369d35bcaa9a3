// regsvr32 on Lunetra.ocx: what registration writes, creation by ProgID, and
// unregistration removing all of it, twice without harm. The file's own
// resources: version information, toolbox picture, type library.
#include <gtest/gtest.h>

#include <vector>

#include "tests/win/lunetra/lunetra_test_util.h"
#include "tests/win/win_test_util.h"
#include "win32kit/registry_read.h"

using namespace win32kit;

namespace {

using namespace lunetra_test;

std::wstring GuidText(REFGUID guid) { return guid_text(guid); }

bool KeyExists(const std::wstring& key) { return registry_key_exists(HKEY_CLASSES_ROOT, key); }

// The string value, or "<missing>".
std::wstring ReadValue(const std::wstring& key, const wchar_t* name = nullptr) {
    return registry_string(HKEY_CLASSES_ROOT, key, name).value_or(L"<missing>");
}

const std::wstring kClassKey = L"CLSID\\" + GuidText(CLSID_Lunetra);
const std::wstring kTypeLibKey = L"TypeLib\\" + GuidText(LIBID_Lunetra2);
const std::wstring kInterfaceKey = L"Interface\\" + GuidText(IID__Lunetra);
const std::wstring kEventsKey = L"Interface\\" + GuidText(DIID___Lunetra);
const std::wstring kNewerInterfaceKey = L"Interface\\" + GuidText(IID_ILunetra2);
// The type library's registration names the kind of program that loads it.
#ifdef _WIN64
constexpr const wchar_t* kTypeLibPlatform = L"win64";
#else
constexpr const wchar_t* kTypeLibPlatform = L"win32";
#endif

// Every key registration writes; none may stay after unregistration.
const std::vector<std::wstring> kWrittenKeys = {
    L"Lunetra2.Lunetra", kClassKey, kTypeLibKey, kInterfaceKey, kEventsKey, kNewerInterfaceKey,
};

int Register() { return RunProcess(L"regsvr32 /s \"" + OcxPath() + L"\""); }
int Unregister() { return RunProcess(L"regsvr32 /s /u \"" + OcxPath() + L"\""); }

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Leaves the registration as the run found it: a prefix in which the
// program folder's control was registered keeps that registration.
class Registration : public ::testing::Test {
protected:
    static void SetUpTestSuite() { previous_ = ReadValue(kClassKey + L"\\InprocServer32"); }
    static void TearDownTestSuite() {
        if (previous_ != L"<missing>" && !SamePath(previous_, OcxPath())) {
            RunProcess(L"regsvr32 /s \"" + previous_ + L"\"");
        } else if (previous_ != L"<missing>") {
            Register();
        } else {
            Unregister();
        }
    }
    static std::wstring previous_;
};

std::wstring Registration::previous_;

TEST_F(Registration, WritesClassProgIdAndTypeLibrary) {
    ASSERT_EQ(Register(), 0) << "regsvr32 failed";
    struct Row {
        std::wstring key;
        const wchar_t* name;
        std::wstring expected;
    };
    for (const Row& row : std::vector<Row>{
             {L"Lunetra2.Lunetra\\CLSID", nullptr, GuidText(CLSID_Lunetra)},
             {kClassKey + L"\\ProgID", nullptr, L"Lunetra2.Lunetra"},
             {kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
             {kClassKey + L"\\TypeLib", nullptr, GuidText(LIBID_Lunetra2)},
             {kClassKey + L"\\Control", nullptr, L""},
             {kClassKey + L"\\MiscStatus\\1", nullptr, L"131473"},
             {kInterfaceKey + L"\\TypeLib", nullptr, GuidText(LIBID_Lunetra2)},
             {kInterfaceKey + L"\\ProxyStubClsid32", nullptr, L"{00020424-0000-0000-C000-000000000046}"},
             {kEventsKey + L"\\TypeLib", nullptr, GuidText(LIBID_Lunetra2)},
             {kNewerInterfaceKey + L"\\TypeLib", nullptr, GuidText(LIBID_Lunetra2)},
         }) {
        SCOPED_TRACE(narrow(row.key + L" " + (row.name ? row.name : L"(default)")));
        EXPECT_EQ(ReadValue(row.key, row.name), row.expected);
    }
    EXPECT_TRUE(SamePath(ReadValue(kClassKey + L"\\InprocServer32"), OcxPath()));
    EXPECT_TRUE(SamePath(ReadValue(kClassKey + L"\\ToolboxBitmap32"), OcxPath() + L", 30000"));
    EXPECT_TRUE(SamePath(ReadValue(kTypeLibKey + L"\\1.0\\0\\" + kTypeLibPlatform), OcxPath()));

    ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadRegTypeLib(LIBID_Lunetra2, 1, 0, 0, lib.Put()), S_OK);
}

TEST_F(Registration, CreatesByProgId) {
    ASSERT_EQ(Register(), 0);
    CLSID clsid = {};
    ASSERT_EQ(CLSIDFromProgID(L"Lunetra2.Lunetra", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_Lunetra));
    ComPtr<IDispatch> control;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.PutVoid()), S_OK);
    EXPECT_EQ(Text(control.Get(), DISPID_Lunetra_GetChineseYear, Ole(std::chrono::year{2024} / 2 / 10)), L"甲辰年");

    lunetra::CreatedBy how = lunetra::CreatedBy::File;
    ComPtr<IUnknown> hosted;
    ASSERT_EQ(lunetra::CreateLunetra(OcxPath(), hosted, &how), S_OK);
    EXPECT_EQ(how, lunetra::CreatedBy::ProgId);
}

// The scripts of the page for programmers, run as they are shown there. Each
// ends with the number of its checks that passed as exit code: a script
// engine that meets an error it cannot report (Wine's cscript says nothing
// and ends with 0) then cannot pass for one that ran every check.
struct Script {
    std::string file;
    int checks;
};
const std::vector<Script> kScripts = {{"docs/examples/lunetra-members.vbs", 17},
                                      {"docs/examples/lunetra-members.js", 13}};
constexpr const char* kProgrammersPage = "docs/lunetra-for-your-programs.md";

std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

TEST_F(Registration, ScriptClientsCallEveryMember) {
    ASSERT_EQ(Register(), 0);
    for (const Script& script : kScripts) {
        const std::wstring path = widen(tockly::wintest::source_path(script.file));
        SCOPED_TRACE(script.file);
        ASSERT_FALSE(FileBytes(path).empty());
        EXPECT_EQ(RunProcess(L"cscript //nologo \"" + path + L"\""), script.checks)
            << "checks that passed (-1: did not run)";
    }
}

TEST(ProgrammersPage, ShowsTheScriptsThatTheTestsRun) {
    const std::string page = WithoutCarriageReturns(FileBytes(widen(tockly::wintest::source_path(kProgrammersPage))));
    ASSERT_FALSE(page.empty());
    for (const Script& script : kScripts) {
        const std::string text = WithoutCarriageReturns(FileBytes(widen(tockly::wintest::source_path(script.file))));
        ASSERT_FALSE(text.empty()) << script.file;
        EXPECT_NE(page.find("\n" + text), std::string::npos) << script.file << " is not on the page as it is";
    }
}

TEST_F(Registration, UnregisterRemovesWhatRegisterWroteAndTwiceIsHarmless) {
    ASSERT_EQ(Register(), 0);
    for (const std::wstring& key : kWrittenKeys) EXPECT_TRUE(KeyExists(key)) << narrow(key);

    ASSERT_EQ(Unregister(), 0);
    for (const std::wstring& key : kWrittenKeys) EXPECT_FALSE(KeyExists(key)) << narrow(key) << " stayed";
    EXPECT_EQ(Unregister(), 0) << "a second unregistration";
    for (const std::wstring& key : kWrittenKeys) EXPECT_FALSE(KeyExists(key)) << narrow(key);

    CLSID clsid = {};
    EXPECT_NE(CLSIDFromProgID(L"Lunetra2.Lunetra", &clsid), S_OK);
    ComPtr<IUnknown> by_class;
    EXPECT_EQ(CoCreateInstance(CLSID_Lunetra, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, by_class.PutVoid()),
              REGDB_E_CLASSNOTREG);

    // Without registration a host still gets its control from the file.
    lunetra::CreatedBy how = lunetra::CreatedBy::ProgId;
    ComPtr<IUnknown> hosted;
    ASSERT_EQ(lunetra::CreateLunetra(OcxPath(), hosted, &how), S_OK);
    EXPECT_EQ(how, lunetra::CreatedBy::File);
    ComPtr<IDispatch> control = As<IDispatch>(hosted.Get());
    ASSERT_TRUE(control);
    EXPECT_EQ(Text(control.Get(), DISPID_Lunetra_GetChineseAnimal, Ole(std::chrono::year{2024} / 2 / 10)), L"龙");
}

// ---------------------------------------------------------------- resources --

TEST(LunetraFile, VersionInformationSaysSelfRegistering) {
    const DWORD size = GetFileVersionInfoSizeW(OcxPath().c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(OcxPath().c_str(), 0, size, info.data()));
    EXPECT_EQ(VersionString(OcxPath(), L"FileVersion"), L"1.06.0006");
    EXPECT_EQ(VersionString(OcxPath(), L"ProductVersion"), L"1.06.0006");
    EXPECT_NE(VersionString(OcxPath(), L"OLESelfRegister"), L"<missing>");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010006u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000006u);
}

TEST(LunetraFile, ToolboxPictureAndTypeLibraryResources) {
    HMODULE file = LoadLibraryExW(OcxPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(file);
    HRSRC picture = FindResourceW(file, MAKEINTRESOURCEW(30000), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    ASSERT_TRUE(picture) << "bitmap 30000";
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(file, picture)));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->biWidth, 16);
    EXPECT_EQ(header->biHeight, 15);
    EXPECT_EQ(header->biBitCount, 24);
    EXPECT_TRUE(FindResourceW(file, MAKEINTRESOURCEW(1), L"TYPELIB")) << "TYPELIB 1";
    FreeLibrary(file);
}

TEST(LunetraFile, ServerUnloadsOnlyWhenNothingIsAlive) {
    HMODULE server = LoadLibraryW(OcxPath().c_str());
    ASSERT_TRUE(server);
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const auto can_unload = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")));
    ASSERT_TRUE(can_unload);
    {
        ComPtr<IDispatch> control = NewControl();
        ASSERT_TRUE(control);
        EXPECT_EQ(can_unload(), S_FALSE) << "a control is alive";
    }
    EXPECT_EQ(can_unload(), S_OK);
    FreeLibrary(server);
}

}  // namespace
