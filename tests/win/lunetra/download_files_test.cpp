// What a user sees of the files of the download: each file's properties
// (description, product, copyright) and LunetraView's manifest. The 64-bit
// build also checks the 32-bit control and view in x86\ beside it, as the
// download carries them: programs for x86 that export the entry points by
// their plain names, with the type library of the 64-bit control.
#include <gtest/gtest.h>

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "tests/win/lunetra/lunetra_test_util.h"
#include "win32kit/com_ptr.h"
#include "win32kit/module_file.h"
#include "win32kit/registry_read.h"

using namespace win32kit;

namespace {

using namespace lunetra_test;

std::wstring Beside(const wchar_t* name) { return win32kit::module_folder() + name; }

struct FileRow {
    const wchar_t* file;  // relative to the test program's folder
    const wchar_t* description;
    const wchar_t* product;
};

const std::vector<FileRow> kFiles = {
    {L"Lunetra.ocx", L"Lunetra lunar calendar control", L"Lunetra2"},
    {L"LunetraView.exe", L"Lunetra lunar calendar", L"Tockly"},
#ifdef _WIN64
    // The clock is 64-bit only; the download carries the 32-bit control in x86\.
    {L"Tockly.exe", L"Tockly desktop clock", L"Tockly"},
    {L"x86\\Lunetra.ocx", L"Lunetra lunar calendar control", L"Lunetra2"},
    {L"x86\\LunetraView.exe", L"Lunetra lunar calendar", L"Tockly"},
#endif
};

TEST(DownloadFiles, PropertiesSayWhatEachFileIsAndWhoseItIs) {
    for (const FileRow& row : kFiles) {
        const std::wstring path = Beside(row.file);
        SCOPED_TRACE(narrow(row.file));
        EXPECT_EQ(VersionString(path, L"FileDescription"), row.description);
        EXPECT_EQ(VersionString(path, L"ProductName"), row.product);
        EXPECT_EQ(VersionString(path, L"CompanyName"), L"Vornhall");
        const std::wstring copyright = VersionString(path, L"LegalCopyright");
        EXPECT_EQ(copyright.substr(0, 12), L"Copyright \u00a9 ") << narrow(copyright);
        EXPECT_EQ(copyright.size(), 12u + 4 + 9) << narrow(copyright);  // a year, " Vornhall"
        EXPECT_TRUE(copyright.ends_with(L" Vornhall")) << narrow(copyright);
    }
}

std::string ManifestOf(const std::wstring& path) {
    HMODULE file = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!file) return {};
    std::string text;
    if (HRSRC found = FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */)) {
        text.assign(static_cast<const char*>(LockResource(LoadResource(file, found))), SizeofResource(file, found));
    }
    FreeLibrary(file);
    return text;
}

#ifdef _WIN64
// A manifest without the lines that name the program: what is left is what
// it asks of Windows.
std::string Settings(const std::string& manifest) {
    std::istringstream lines(manifest);
    std::string line, kept;
    while (std::getline(lines, line)) {
        if (line.find("<assemblyIdentity type=\"win32\" name=\"Vornhall.") != std::string::npos) continue;
        if (line.find("<description>") != std::string::npos) continue;
        kept += line + "\n";
    }
    return kept;
}
#endif

struct ViewRow {
    const wchar_t* file;
    const char* processor;
};

#ifdef _WIN64
const std::vector<ViewRow> kViews = {{L"LunetraView.exe", "amd64"}, {L"x86\\LunetraView.exe", "x86"}};
#else
const std::vector<ViewRow> kViews = {{L"LunetraView.exe", "x86"}};
#endif

TEST(DownloadFiles, LunetraViewAsksForCommonControls6AndKnowsDpi) {
    for (const ViewRow& row : kViews) {
        SCOPED_TRACE(narrow(row.file));
        const std::string manifest = ManifestOf(Beside(row.file));
        ASSERT_FALSE(manifest.empty()) << "no manifest";
        EXPECT_NE(manifest.find("name=\"Vornhall.LunetraView\" version=\"1.0.0.0\" processorArchitecture=\"" +
                                std::string(row.processor) + "\""),
                  std::string::npos);
        EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
        EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
        EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
#ifdef _WIN64
        EXPECT_EQ(Settings(manifest), Settings(ManifestOf(Beside(L"Tockly.exe")))) << "not the clock's manifest";
#endif
    }
}

#ifdef _WIN64
// --------------------------------------------------------- the x86 control --

struct PeFile {
    WORD machine = 0;
    std::vector<std::string> exports;
};

// The processor and the exported names of a program file, read from the
// file as bytes: a 64-bit process cannot load a 32-bit one.
PeFile ReadPe(const std::wstring& path) {
    const std::string bytes = FileBytes(path);
    const auto at = [&](size_t offset, size_t size) { return offset + size <= bytes.size() ? bytes.data() + offset : nullptr; };
    PeFile pe;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    const auto* nt = dos ? reinterpret_cast<const IMAGE_NT_HEADERS32*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS32))) : nullptr;
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE) return pe;
    pe.machine = nt->FileHeader.Machine;
    if (pe.machine != IMAGE_FILE_MACHINE_I386) return pe;
    const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        at(dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader,
           nt->FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
    const auto offset_of = [&](DWORD rva) -> size_t {
        for (WORD i = 0; sections && i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
                return rva - s.VirtualAddress + s.PointerToRawData;
            }
        }
        return bytes.size();
    };
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        at(offset_of(directory.VirtualAddress), sizeof(IMAGE_EXPORT_DIRECTORY)));
    if (!exports) return pe;
    const auto* names = reinterpret_cast<const DWORD*>(at(offset_of(exports->AddressOfNames), exports->NumberOfNames * 4));
    for (DWORD i = 0; names && i < exports->NumberOfNames; ++i) {
        if (const char* name = at(offset_of(names[i]), 1)) pe.exports.emplace_back(name);
    }
    return pe;
}

TEST(X86Lunetra, IsForX86AndExportsTheEntryPointsByTheirPlainNames) {
    EXPECT_EQ(ReadPe(Beside(L"x86\\LunetraView.exe")).machine, IMAGE_FILE_MACHINE_I386);
    const PeFile control = ReadPe(Beside(L"x86\\Lunetra.ocx"));
    EXPECT_EQ(control.machine, IMAGE_FILE_MACHINE_I386);
    // regsvr32 and COM look these up by name; a stdcall name (_DllGetClassObject@12) would not be found.
    EXPECT_EQ(control.exports, (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                                         "DllUnregisterServer"}));
}

// Everything a host learns from a type library, one line per type and member.
std::wstring Describe(ITypeLib* lib) {
    std::wostringstream out;
    TLIBATTR* attr = nullptr;
    if (FAILED(lib->GetLibAttr(&attr))) return L"<no library>";
    out << guid_text(attr->guid) << L" " << attr->wMajorVerNum << L"." << attr->wMinorVerNum << L" lcid " << attr->lcid
        << L" flags " << attr->wLibFlags << L"\n";
    lib->ReleaseTLibAttr(attr);
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info;
        TYPEATTR* type = nullptr;
        if (FAILED(lib->GetTypeInfo(i, info.Put())) || FAILED(info->GetTypeAttr(&type))) return L"<no type " + std::to_wstring(i) + L">";
        Bstr name;
        info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr);
        out << name.Get() << L" " << guid_text(type->guid) << L" kind " << type->typekind << L" flags "
            << type->wTypeFlags << L" " << type->wMajorVerNum << L"." << type->wMinorVerNum << L"\n";
        for (WORD f = 0; f < type->cFuncs; ++f) {
            FUNCDESC* func = nullptr;
            if (FAILED(info->GetFuncDesc(f, &func))) continue;
            BSTR names[16] = {};
            UINT count = 0;
            info->GetNames(func->memid, names, 16, &count);
            out << L"  " << func->memid << L" invoke " << func->invkind << L" returns " << func->elemdescFunc.tdesc.vt;
            for (UINT n = 0; n < count; ++n) {
                out << L" " << names[n];
                if (n > 0 && n <= static_cast<UINT>(func->cParams)) out << L":" << func->lprgelemdescParam[n - 1].tdesc.vt;
                SysFreeString(names[n]);
            }
            out << L" optional " << func->cParamsOpt << L"\n";
            info->ReleaseFuncDesc(func);
        }
        for (WORD v = 0; v < type->cVars; ++v) {
            VARDESC* var = nullptr;
            if (FAILED(info->GetVarDesc(v, &var))) continue;
            Bstr var_name;
            info->GetDocumentation(var->memid, var_name.Put(), nullptr, nullptr, nullptr);
            out << L"  var " << var->memid << L" " << var_name.Get() << L":" << var->elemdescVar.tdesc.vt << L"\n";
            info->ReleaseVarDesc(var);
        }
        info->ReleaseTypeAttr(type);
    }
    return out.str();
}

SYSKIND KindOf(ITypeLib* lib) {
    TLIBATTR* attr = nullptr;
    if (FAILED(lib->GetLibAttr(&attr))) return SYS_WIN16;
    const SYSKIND kind = attr->syskind;
    lib->ReleaseTLibAttr(attr);
    return kind;
}

TEST(X86Lunetra, HasTheTypeLibraryOfThe64BitControl) {
    ComPtr<ITypeLib> x64, x86;
    ASSERT_EQ(LoadTypeLibEx(OcxPath().c_str(), REGKIND_NONE, x64.Put()), S_OK);
    ASSERT_EQ(LoadTypeLibEx(Beside(L"x86\\Lunetra.ocx").c_str(), REGKIND_NONE, x86.Put()), S_OK);
    EXPECT_EQ(KindOf(x64.Get()), SYS_WIN64);
    EXPECT_EQ(KindOf(x86.Get()), SYS_WIN32);
    const std::wstring described = Describe(x64.Get());
    EXPECT_NE(described.find(L"GetChineseYear"), std::wstring::npos) << narrow(described);
    EXPECT_EQ(narrow(Describe(x86.Get())), narrow(described));
}
#endif

}  // namespace
