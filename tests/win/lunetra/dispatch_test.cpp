// The six methods and the nine properties late-bound by DISPID, compared with
// the lunar core; the errors a host gets for wrong calls; the type library's
// member order and DISPIDs.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "lunar/core/calendar_facts.h"
#include "tests/win/lunetra/lunetra_test_util.h"

using namespace win32kit;

namespace {

using namespace lunetra_test;
using namespace std::chrono;

struct MethodCase {
    const char* name;
    DISPID id;
    std::string (*core)(lunar::OleDate, lunar::OleDate);
};

const std::vector<MethodCase> kMethods = {
    {"GetChineseDate", DISPID_Lunetra_GetChineseDate, lunar::GetChineseDate},
    {"GetChineseYear", DISPID_Lunetra_GetChineseYear, lunar::GetChineseYear},
    {"GetChineseMonth", DISPID_Lunetra_GetChineseMonth, lunar::GetChineseMonth},
    {"GetChineseDay", DISPID_Lunetra_GetChineseDay, lunar::GetChineseDay},
    {"GetChineseAnimal", DISPID_Lunetra_GetChineseAnimal, lunar::GetChineseAnimal},
    {"GetConstellation", DISPID_Lunetra_GetConstellation, lunar::GetConstellation},
};

const lunar::OleDate kValue = Ole(2024y / 5 / 20);

ComPtr<IDispatch> ControlOnValue() {
    ComPtr<IDispatch> control = NewInitialisedControl();
    if (control) PutProperty(control.Get(), DISPID_Lunetra_Value, Variant::Date(kValue));
    return control;
}

TEST(LunetraMethods, AnswerAsTheCoreDoes) {
    ComPtr<IDispatch> control = ControlOnValue();
    ASSERT_TRUE(control);
    struct DateCase {
        const char* name;
        lunar::OleDate date;
    };
    for (const DateCase& d : std::vector<DateCase>{
             {"2024-02-10 new year", Ole(2024y / 2 / 10)},
             {"2024-02-09 eve", Ole(2024y / 2 / 9)},
             {"2023-03-22 leap month", Ole(2023y / 3 / 22)},
             {"1901-01-01 first day", Ole(1901y / 1 / 1)},
             {"2090-12-31 last day", Ole(2090y / 12 / 31)},
             {"2000-02-04", Ole(2000y / 2 / 4)},
             {"2000-02-05", Ole(2000y / 2 / 5)},
             {"2024-03-20 13:00, after noon", Ole(2024y / 3 / 20, 13 * 3600)},
             {"02-29", Ole(2024y / 2 / 29)},
             {"1900-12-31 before the range", Ole(1900y / 12 / 31)},
             {"2091-01-01 after the range", Ole(2091y / 1 / 1)},
             {"2090-12-31 12:00 already out", Ole(2090y / 12 / 31, 12 * 3600)},
         }) {
        for (const MethodCase& m : kMethods) {
            SCOPED_TRACE(std::string(m.name) + " of " + d.name);
            EXPECT_EQ(Text(control.Get(), m.id, d.date), widen(m.core(d.date, kValue)));
        }
    }
}

TEST(LunetraMethods, TextsByteForByte) {
    ComPtr<IDispatch> control = ControlOnValue();
    ASSERT_TRUE(control);
    struct Case {
        DISPID id;
        lunar::OleDate date;
        const wchar_t* text;
    };
    for (const Case& c : std::vector<Case>{
             {DISPID_Lunetra_GetChineseDate, Ole(2024y / 2 / 10), L"农历甲辰年一月初一"},
             {DISPID_Lunetra_GetChineseDate, Ole(2024y / 2 / 9), L"农历癸卯年十二月卅十"},
             {DISPID_Lunetra_GetChineseDate, Ole(2023y / 3 / 22), L"农历癸卯年(闰)二月初一"},
             {DISPID_Lunetra_GetChineseYear, Ole(2090y / 12 / 31), L"庚戌年"},
             {DISPID_Lunetra_GetChineseAnimal, Ole(2000y / 2 / 4), L"兔"},
             {DISPID_Lunetra_GetChineseAnimal, Ole(2000y / 2 / 5), L"龙"},
             {DISPID_Lunetra_GetConstellation, Ole(2024y / 3 / 20), L"双鱼座"},
             {DISPID_Lunetra_GetConstellation, Ole(2024y / 3 / 21), L"牡羊座"},
             // Out of range: the answer is for Value, 2024-05-20.
             {DISPID_Lunetra_GetChineseDate, Ole(2091y / 1 / 1), L"农历甲辰年四月十三"},
         }) {
        SCOPED_TRACE(narrow(c.text));
        EXPECT_EQ(Text(control.Get(), c.id, c.date), c.text);
    }
}

TEST(LunetraMethods, ArgumentsConvertLikeAutomation) {
    ComPtr<IDispatch> control = ControlOnValue();
    ASSERT_TRUE(control);
    const lunar::OleDate new_year = Ole(2024y / 2 / 10);

    CallResult by_double = CallMethod(control.Get(), DISPID_Lunetra_GetChineseDay, {Variant::R8(new_year)});
    ASSERT_EQ(by_double.hr, S_OK);
    EXPECT_EQ(by_double.result, Variant::Str(L"初一"));

    DATE date = new_year;
    VARIANT by_reference;
    VariantInit(&by_reference);
    V_VT(&by_reference) = VT_DATE | VT_BYREF;
    V_DATEREF(&by_reference) = &date;
    CallResult by_ref = CallMethod(control.Get(), DISPID_Lunetra_GetChineseDay, {Variant(by_reference)});
    ASSERT_EQ(by_ref.hr, S_OK);
    EXPECT_EQ(by_ref.result, Variant::Str(L"初一"));

    // The argument by its name.
    Variant argument = Variant::Date(new_year);
    DISPID named = 0;
    DISPPARAMS params = {argument.get(), &named, 1, 1};
    Variant result;
    EXPECT_EQ(control->Invoke(DISPID_Lunetra_GetChineseDay, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(),
                              nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result, Variant::Str(L"初一"));
}

TEST(LunetraMethods, WrongCallsGetTheirErrors) {
    ComPtr<IDispatch> control = ControlOnValue();
    ASSERT_TRUE(control);
    const Variant date = Variant::Date(Ole(2024y / 2 / 10));
    struct Case {
        const char* name;
        DISPID id;
        WORD flags;
        std::vector<Variant> arguments;
        bool put;
        HRESULT expected;
        UINT arg_error;  // 0xFFFF: not set
    };
    for (const Case& c : std::vector<Case>{
             {"unknown DISPID", 0x60030030, DISPATCH_METHOD, {date}, false, DISP_E_MEMBERNOTFOUND, 0xFFFF},
             {"DISPID 0", 0, DISPATCH_PROPERTYGET, {}, false, DISP_E_MEMBERNOTFOUND, 0xFFFF},
             {"method without its date", DISPID_Lunetra_GetChineseDay, DISPATCH_METHOD, {}, false,
              DISP_E_BADPARAMCOUNT, 0xFFFF},
             {"method with two dates", DISPID_Lunetra_GetChineseDay, DISPATCH_METHOD, {date, date}, false,
              DISP_E_BADPARAMCOUNT, 0xFFFF},
             {"method with a text that is no date", DISPID_Lunetra_GetChineseDay, DISPATCH_METHOD,
              {Variant::Str(L"kein Datum")}, false, DISP_E_TYPEMISMATCH, 0},
             {"method assigned to", DISPID_Lunetra_GetChineseDay, DISPATCH_PROPERTYPUT, {date}, true,
              DISP_E_MEMBERNOTFOUND, 0xFFFF},
             {"property read with an argument", DISPID_Lunetra_TitleBackColor, DISPATCH_PROPERTYGET, {date}, false,
              DISP_E_BADPARAMCOUNT, 0xFFFF},
             {"property put without its named argument", DISPID_Lunetra_TitleBackColor, DISPATCH_PROPERTYPUT,
              {Variant::I4(255)}, false, DISP_E_PARAMNOTOPTIONAL, 0xFFFF},
             {"colour from a word", DISPID_Lunetra_TitleBackColor, DISPATCH_PROPERTYPUT, {Variant::Str(L"red")}, true,
              DISP_E_TYPEMISMATCH, 0},
             {"Value from a word", DISPID_Lunetra_Value, DISPATCH_PROPERTYPUT, {Variant::Str(L"morgen")}, true,
              DISP_E_TYPEMISMATCH, 0},
         }) {
        SCOPED_TRACE(c.name);
        std::vector<VARIANT> reversed;
        for (auto it = c.arguments.rbegin(); it != c.arguments.rend(); ++it) reversed.push_back(**it);
        DISPID put_id = DISPID_PROPERTYPUT;
        DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), c.put ? &put_id : nullptr,
                             static_cast<UINT>(reversed.size()), c.put ? 1u : 0u};
        Variant result;
        UINT arg_error = 0xFFFF;
        EXPECT_EQ(control->Invoke(c.id, IID_NULL, 0, c.flags, &params, result.get(), nullptr, &arg_error), c.expected);
        EXPECT_EQ(arg_error, c.arg_error);
    }
    Variant result;
    DISPPARAMS none = {};
    EXPECT_EQ(control->Invoke(DISPID_Lunetra_Value, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none, result.get(), nullptr,
                              nullptr),
              DISP_E_UNKNOWNINTERFACE);
    // The control still answers.
    EXPECT_EQ(Text(control.Get(), DISPID_Lunetra_GetChineseYear, Ole(2024y / 2 / 10)), L"甲辰年");
}

TEST(LunetraMethods, ValueOutsideTheTableFailsButTheControlGoesOn) {
    ComPtr<IDispatch> control = ControlOnValue();
    ASSERT_TRUE(control);
    const lunar::OleDate beyond = Ole(2100y / 1 / 1);

    CallResult put = PutProperty(control.Get(), DISPID_Lunetra_Value, Variant::Date(beyond));
    EXPECT_EQ(put.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(put.exception.scode, lunetra::kLunarRangeError);
    EXPECT_TRUE(put.exception.bstrDescription && *put.exception.bstrDescription);
    CallResult stored = GetProperty(control.Get(), DISPID_Lunetra_Value);
    EXPECT_EQ(stored.result, Variant::Date(beyond)) << "the new value stays stored";

    CallResult out_of_range = CallMethod(control.Get(), DISPID_Lunetra_GetChineseYear, {Variant::Date(Ole(1850y / 1 / 1))});
    EXPECT_EQ(out_of_range.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(out_of_range.exception.scode, lunetra::kLunarRangeError);
    EXPECT_EQ(Text(control.Get(), DISPID_Lunetra_GetChineseYear, Ole(2024y / 2 / 10)), L"甲辰年");
    EXPECT_EQ(Text(control.Get(), DISPID_Lunetra_GetConstellation, Ole(1850y / 1 / 1)), L"魔羯座") << "of Value";

    // Through the dual interface the error comes back as it is, with its description.
    ComPtr<_Lunetra> dual = As<_Lunetra>(control.Get());
    ASSERT_TRUE(dual);
    EXPECT_EQ(dual->put_Value(Ole(2091y / 3 / 1)), lunetra::kLunarRangeError);
    ComPtr<IErrorInfo> error;
    ASSERT_EQ(GetErrorInfo(0, error.Put()), S_OK);
    Bstr source;
    error->GetSource(source.Put());
    EXPECT_EQ(source.Text(), L"Lunetra2.Lunetra");
    EXPECT_EQ(As<ISupportErrorInfo>(control.Get())->InterfaceSupportsErrorInfo(IID__Lunetra), S_OK);

    EXPECT_EQ(dual->put_Value(std::nan("")), E_INVALIDARG) << "no date at all is refused";
    EXPECT_EQ(PutProperty(control.Get(), DISPID_Lunetra_Value, Variant::Date(Ole(2024y / 2 / 10))).hr, S_OK);
    EXPECT_EQ(PutProperty(control.Get(), DISPID_Lunetra_DateBackColor, Variant::I4(0x00FF00)).hr, S_OK);
}

TEST(LunetraDispatch, NamesToDispids) {
    ComPtr<IDispatch> control = NewControl();
    ASSERT_TRUE(control);
    struct Case {
        const wchar_t* name;
        DISPID id;
    };
    for (const Case& c : std::vector<Case>{
             {L"Value", 0x68030000}, {L"WeekBackColor", 0x68030001}, {L"TitleBackColor", 0x68030002},
             {L"ShowHorizontalGrid", 0x68030003}, {L"ShowVerticalGrid", 0x68030004}, {L"SelectColor", 0x68030005},
             {L"GridLinesColor", 0x68030006}, {L"DateBackColor", 0x68030007}, {L"BottomBackColor", 0x68030008},
             {L"GetChineseDate", 0x60030022}, {L"GetChineseYear", 0x60030023}, {L"GetChineseMonth", 0x60030024},
             {L"GetChineseDay", 0x60030025}, {L"GetChineseAnimal", 0x60030026}, {L"GetConstellation", 0x60030027},
             {L"getchineseyear", 0x60030023}, {L"Click", DISPID_UNKNOWN}, {L"Lunetra", DISPID_UNKNOWN},
             {L"ShowHolidayMarks", 0x68030009},
         }) {
        SCOPED_TRACE(narrow(c.name));
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
        DISPID id = 0;
        const HRESULT hr = control->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
        EXPECT_EQ(hr, c.id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK);
        EXPECT_EQ(id, c.id);
    }
}

// The published interface, as hosts compiled against it see it.
TEST(LunetraDispatch, TypeLibraryHasTheMembersInOrder) {
    ComPtr<IDispatch> control = NewControl();
    ASSERT_TRUE(control);
    ComPtr<ITypeInfo> newest;
    ASSERT_EQ(control->GetTypeInfo(0, 0, newest.Put()), S_OK);
    ComPtr<ITypeLib> own_lib;
    UINT own_index = 0;
    ASSERT_EQ(newest->GetContainingTypeLib(own_lib.Put(), &own_index), S_OK);
    ComPtr<ITypeInfo> dispatch_view;
    ASSERT_EQ(own_lib->GetTypeInfoOfGuid(IID__Lunetra, dispatch_view.Put()), S_OK);
    // The vtable view of the dual interface.
    HREFTYPE vtable_ref = 0;
    ASSERT_EQ(dispatch_view->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_ref), S_OK);
    ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(dispatch_view->GetRefTypeInfo(vtable_ref, vtable.Put()), S_OK);

    struct Member {
        const wchar_t* name;
        MEMBERID id;
        INVOKEKIND kind;
    };
    const std::vector<Member> expected = {
        {L"BottomBackColor", 0x68030008, INVOKE_PROPERTYGET}, {L"BottomBackColor", 0x68030008, INVOKE_PROPERTYPUT},
        {L"DateBackColor", 0x68030007, INVOKE_PROPERTYGET},   {L"DateBackColor", 0x68030007, INVOKE_PROPERTYPUT},
        {L"GridLinesColor", 0x68030006, INVOKE_PROPERTYGET},  {L"GridLinesColor", 0x68030006, INVOKE_PROPERTYPUT},
        {L"SelectColor", 0x68030005, INVOKE_PROPERTYGET},     {L"SelectColor", 0x68030005, INVOKE_PROPERTYPUT},
        {L"ShowVerticalGrid", 0x68030004, INVOKE_PROPERTYGET}, {L"ShowVerticalGrid", 0x68030004, INVOKE_PROPERTYPUT},
        {L"ShowHorizontalGrid", 0x68030003, INVOKE_PROPERTYGET},
        {L"ShowHorizontalGrid", 0x68030003, INVOKE_PROPERTYPUT},
        {L"TitleBackColor", 0x68030002, INVOKE_PROPERTYGET},  {L"TitleBackColor", 0x68030002, INVOKE_PROPERTYPUT},
        {L"WeekBackColor", 0x68030001, INVOKE_PROPERTYGET},   {L"WeekBackColor", 0x68030001, INVOKE_PROPERTYPUT},
        {L"Value", 0x68030000, INVOKE_PROPERTYGET},           {L"Value", 0x68030000, INVOKE_PROPERTYPUT},
        {L"GetChineseDate", 0x60030022, INVOKE_FUNC},         {L"GetChineseYear", 0x60030023, INVOKE_FUNC},
        {L"GetChineseMonth", 0x60030024, INVOKE_FUNC},        {L"GetChineseDay", 0x60030025, INVOKE_FUNC},
        {L"GetChineseAnimal", 0x60030026, INVOKE_FUNC},       {L"GetConstellation", 0x60030027, INVOKE_FUNC},
    };
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(vtable->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_EQ(attributes->cFuncs, expected.size());
    const WORD functions = attributes->cFuncs;
    vtable->ReleaseTypeAttr(attributes);
    for (WORD i = 0; i < functions && i < expected.size(); ++i) {
        SCOPED_TRACE("member " + std::to_string(i));
        FUNCDESC* function = nullptr;
        ASSERT_EQ(vtable->GetFuncDesc(i, &function), S_OK);
        Bstr name;
        vtable->GetDocumentation(function->memid, name.Put(), nullptr, nullptr, nullptr);
        EXPECT_EQ(name.Text(), expected[i].name);
        EXPECT_EQ(function->memid, expected[i].id);
        EXPECT_EQ(function->invkind, expected[i].kind);
        EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + i) * sizeof(void*))) << "after the IDispatch part";
        vtable->ReleaseFuncDesc(function);
    }

    ComPtr<ITypeLib> lib;
    UINT index = 0;
    ASSERT_EQ(vtable->GetContainingTypeLib(lib.Put(), &index), S_OK);
    Bstr lib_name;
    lib->GetDocumentation(-1, lib_name.Put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(lib_name.Text(), L"Lunetra2");
    TLIBATTR* lib_attributes = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&lib_attributes), S_OK);
    EXPECT_EQ(lib_attributes->wMajorVerNum, 1);
    EXPECT_EQ(lib_attributes->wMinorVerNum, 0);
    EXPECT_TRUE(IsEqualGUID(lib_attributes->guid, LIBID_Lunetra2));
    lib->ReleaseTLibAttr(lib_attributes);

    ComPtr<ITypeInfo> events;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(DIID___Lunetra, events.Put()), S_OK);
    FUNCDESC* click = nullptr;
    ASSERT_EQ(events->GetFuncDesc(0, &click), S_OK);
    EXPECT_EQ(click->memid, 1);
    EXPECT_EQ(click->cParams, 0);
    events->ReleaseFuncDesc(click);
}

// ILunetra2 is what the control hands out for IDispatch: `_Lunetra` whole,
// then the members added since, after the last of `_Lunetra`'s operations.
TEST(LunetraDispatch, AddedMembersFollowThePublishedInterface) {
    ComPtr<IDispatch> control = NewControl();
    ASSERT_TRUE(control);
    ComPtr<ITypeInfo> dispatch_view;
    ASSERT_EQ(control->GetTypeInfo(0, 0, dispatch_view.Put()), S_OK);
    HREFTYPE vtable_ref = 0;
    ASSERT_EQ(dispatch_view->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_ref), S_OK);
    ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(dispatch_view->GetRefTypeInfo(vtable_ref, vtable.Put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(vtable->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_ILunetra2));
    EXPECT_EQ(attributes->cFuncs, 2);
    vtable->ReleaseTypeAttr(attributes);
    HREFTYPE base_ref = 0;
    ComPtr<ITypeInfo> base;
    ASSERT_EQ(vtable->GetRefTypeOfImplType(0, &base_ref), S_OK);
    ASSERT_EQ(vtable->GetRefTypeInfo(base_ref, base.Put()), S_OK);
    Bstr base_name;
    base->GetDocumentation(MEMBERID_NIL, base_name.Put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(base_name.Text(), L"_Lunetra");
    for (UINT i = 0; i < 2; ++i) {
        FUNCDESC* function = nullptr;
        ASSERT_EQ(vtable->GetFuncDesc(i, &function), S_OK);
        EXPECT_EQ(function->memid, DISPID_Lunetra_ShowHolidayMarks);
        EXPECT_EQ(function->invkind, i == 0 ? INVOKE_PROPERTYGET : INVOKE_PROPERTYPUT);
        EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + 24 + i) * sizeof(void*)));
        vtable->ReleaseFuncDesc(function);
    }
    // The old interface is still there, on the same object.
    ComPtr<_Lunetra> published = As<_Lunetra>(control.Get());
    ComPtr<ILunetra2> newer = As<ILunetra2>(control.Get());
    ASSERT_TRUE(published && newer);
    DATE value = 0;
    EXPECT_EQ(published->get_Value(&value), S_OK);
    VARIANT_BOOL marks = VARIANT_TRUE;
    EXPECT_EQ(newer->get_ShowHolidayMarks(&marks), S_OK);
    EXPECT_EQ(marks, VARIANT_FALSE);
}

TEST(LunetraDispatch, ClassInfoNamesTheEventInterface) {
    ComPtr<IDispatch> control = NewControl();
    ASSERT_TRUE(control);
    ComPtr<IProvideClassInfo2> info = As<IProvideClassInfo2>(control.Get());
    ASSERT_TRUE(info);
    GUID events = {};
    ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualGUID(events, DIID___Lunetra));
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(info->GetClassInfo(coclass.Put()), S_OK);
    Bstr name;
    coclass->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.Text(), L"Lunetra");
}

}  // namespace
