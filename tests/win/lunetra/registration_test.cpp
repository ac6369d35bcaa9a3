// regsvr32 on Lunetra.ocx: what registration writes, creation by ProgID, and
// unregistration removing all of it, twice without harm. The file's own
// resources: version information, toolbox picture, type library.
#include <gtest/gtest.h>

#include <vector>

#include "tests/win/lunetra/lunetra_test_util.h"
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

// Every key registration writes; none may stay after unregistration.
const std::vector<std::wstring> kWrittenKeys = {
    L"Lunetra2.Lunetra", kClassKey, kTypeLibKey, kInterfaceKey, kEventsKey,
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
         }) {
        SCOPED_TRACE(narrow(row.key + L" " + (row.name ? row.name : L"(default)")));
        EXPECT_EQ(ReadValue(row.key, row.name), row.expected);
    }
    EXPECT_TRUE(SamePath(ReadValue(kClassKey + L"\\InprocServer32"), OcxPath()));
    EXPECT_TRUE(SamePath(ReadValue(kClassKey + L"\\ToolboxBitmap32"), OcxPath() + L", 30000"));
    EXPECT_TRUE(SamePath(ReadValue(kTypeLibKey + L"\\1.0\\0\\win64"), OcxPath()));

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

// The scripts count what went wrong and end with that count as exit code.
// Texts are compared by their code points: cscript reads the file in the
// ANSI code page.
constexpr const char* kVbScript = R"(
Set c = CreateObject("Lunetra2.Lunetra")
d = DateSerial(2024, 2, 10)
bad = 0
Sub Check(ok)
  If Not ok Then bad = bad + 1
End Sub
Check c.GetChineseYear(d) = ChrW(&H7532) & ChrW(&H8FB0) & ChrW(&H5E74)
Check c.getchineseyear(d) = c.GetChineseYear(d)
Check AscW(c.GetChineseAnimal(d)) = &H9F99
Check Len(c.GetChineseDate(d)) > 0 And Len(c.GetChineseMonth(d)) > 0 And Len(c.GetChineseDay(d)) > 0
Check Len(c.GetConstellation(d)) > 0
c.Value = d
Check c.Value = d
c.BottomBackColor = &HFF: c.DateBackColor = &HFF00: c.GridLinesColor = &H1: c.SelectColor = &H2
c.TitleBackColor = &H8000000F: c.WeekBackColor = &H3
Check c.BottomBackColor = &HFF And c.DateBackColor = &HFF00 And c.GridLinesColor = 1 And c.SelectColor = 2
Check c.TitleBackColor = &H8000000F And c.WeekBackColor = 3
c.ShowVerticalGrid = False: c.ShowHorizontalGrid = True
Check c.ShowVerticalGrid = False And c.ShowHorizontalGrid = True
On Error Resume Next
x = c.GetChineseDay()
Check Err.Number = 450: Err.Clear
x = c.GetChineseDay("kein Datum")
Check Err.Number = 13: Err.Clear
x = c.NoSuchMember
Check Err.Number = 438: Err.Clear
WScript.Quit bad
)";

constexpr const char* kJScript = R"(
var c = new ActiveXObject("Lunetra2.Lunetra");
var d = new Date(2024, 1, 10).getVarDate();
var bad = 0;
function check(ok) { if (!ok) bad++; }
check(c.GetChineseYear(d) == "\u7532\u8FB0\u5E74");
check(c.GetChineseAnimal(d) == "\u9F99");
check(c.GetChineseDate(d).length > 0 && c.GetChineseMonth(d).length > 0 && c.GetChineseDay(d).length > 0);
check(c.GetConstellation(d).length > 0);
c.Value = d;
check(new Date(c.Value).getTime() == new Date(d).getTime());
c.WeekBackColor = 255; c.TitleBackColor = 65280; c.BottomBackColor = 1; c.DateBackColor = 2;
c.GridLinesColor = 3; c.SelectColor = 4;
check(c.WeekBackColor == 255 && c.TitleBackColor == 65280 && c.BottomBackColor == 1);
check(c.DateBackColor == 2 && c.GridLinesColor == 3 && c.SelectColor == 4);
c.ShowVerticalGrid = false; c.ShowHorizontalGrid = true;
check(c.ShowVerticalGrid == false && c.ShowHorizontalGrid == true);
WScript.Quit(bad);
)";

TEST_F(Registration, ScriptClientsCallEveryMember) {
    ASSERT_EQ(Register(), 0);
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    for (const auto& [extension, script] : {std::pair{L".vbs", kVbScript}, std::pair{L".js", kJScript}}) {
        const std::wstring path = std::wstring(temp) + L"lunetra-script" + extension;
        SCOPED_TRACE(narrow(path));
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, script, static_cast<DWORD>(strlen(script)), &written, nullptr);
        CloseHandle(file);
        EXPECT_EQ(RunProcess(L"cscript //nologo \"" + path + L"\""), 0) << "checks that failed, or -1: did not run";
        DeleteFileW(path.c_str());
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

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) return L"<missing>";
    return std::wstring(text, length > 0 && text[length - 1] == 0 ? length - 1 : length);
}

TEST(LunetraFile, VersionInformationSaysSelfRegistering) {
    const DWORD size = GetFileVersionInfoSizeW(OcxPath().c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(OcxPath().c_str(), 0, size, info.data()));
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"1.06.0006");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"1.06.0006");
    EXPECT_NE(VersionString(info, L"OLESelfRegister"), L"<missing>");
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
