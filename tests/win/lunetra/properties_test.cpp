// The properties (the nine published ones and ShowHolidayMarks): defaults of a new instance, each let stored, told to
// the host once through IPropertyNotifySink and marking the control dirty.
#include <gtest/gtest.h>

#include <vector>

#include "tests/win/lunetra/lunetra_test_util.h"

using namespace win32kit;

namespace {

using namespace lunetra_test;
using namespace std::chrono;

struct PropertyCase {
    const char* name;
    DISPID id;
    Variant initial;
    Variant changed;
};

std::vector<PropertyCase> Cases() {
    return {
        {"BottomBackColor", DISPID_Lunetra_BottomBackColor, Variant::I4(0xC0C0C0), Variant::I4(0x123456)},
        {"DateBackColor", DISPID_Lunetra_DateBackColor, Variant::I4(0xE0E0E0), Variant::I4(0x00FFFF)},
        {"GridLinesColor", DISPID_Lunetra_GridLinesColor, Variant::I4(0x800000), Variant::I4(0x000080)},
        {"SelectColor", DISPID_Lunetra_SelectColor, Variant::I4(0xFFC0C0), Variant::I4(0x80FF80)},
        {"ShowVerticalGrid", DISPID_Lunetra_ShowVerticalGrid, Variant::Bool(true), Variant::Bool(false)},
        {"ShowHorizontalGrid", DISPID_Lunetra_ShowHorizontalGrid, Variant::Bool(true), Variant::Bool(false)},
        {"TitleBackColor", DISPID_Lunetra_TitleBackColor, Variant::I4(0xC0C0C0), Variant::I4(0x0000FF)},
        {"WeekBackColor", DISPID_Lunetra_WeekBackColor, Variant::I4(0xFFFFC0), Variant::I4(0xFF0000)},
        {"Value", DISPID_Lunetra_Value, Variant::Date(Ole(LocalToday())), Variant::Date(Ole(2085y / 6 / 15))},
        {"ShowHolidayMarks", DISPID_Lunetra_ShowHolidayMarks, Variant::Bool(false), Variant::Bool(true)},
    };
}

TEST(LunetraProperties, NewInstanceDefaults) {
    ComPtr<IDispatch> control = NewInitialisedControl();
    ASSERT_TRUE(control);
    for (const PropertyCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        CallResult get = GetProperty(control.Get(), c.id);
        ASSERT_EQ(get.hr, S_OK);
        EXPECT_TRUE(get.result == c.initial) << narrow(get.result.Describe());
    }
    EXPECT_EQ(As<IPersistStreamInit>(control.Get())->IsDirty(), S_FALSE);
}

TEST(LunetraProperties, EachLetIsStoredAndToldOnce) {
    for (const PropertyCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        ComPtr<IDispatch> control = NewInitialisedControl();
        ASSERT_TRUE(control);
        ChangeRecorder recorder;
        Connection connection(control.Get(), IID_IPropertyNotifySink, &recorder);
        ASSERT_EQ(connection.hr(), S_OK);

        ASSERT_EQ(PutProperty(control.Get(), c.id, c.changed).hr, S_OK);
        EXPECT_EQ(recorder.changes, std::vector<DISPID>{c.id});
        CallResult get = GetProperty(control.Get(), c.id);
        EXPECT_TRUE(get.result == c.changed) << narrow(get.result.Describe());
        EXPECT_EQ(As<IPersistStreamInit>(control.Get())->IsDirty(), S_OK);
    }
}

TEST(LunetraProperties, SwitchesKeepTrueAsTrue) {
    ComPtr<IDispatch> control = NewInitialisedControl();
    ASSERT_TRUE(control);
    ComPtr<_Lunetra> dual = As<_Lunetra>(control.Get());
    // A host passing 1 for True gets the lines.
    ASSERT_EQ(dual->put_ShowVerticalGrid(VARIANT_FALSE), S_OK);
    ASSERT_EQ(dual->put_ShowVerticalGrid(1), S_OK);
    VARIANT_BOOL show = 0;
    ASSERT_EQ(dual->get_ShowVerticalGrid(&show), S_OK);
    EXPECT_EQ(show, VARIANT_TRUE);
    EXPECT_EQ(PutProperty(control.Get(), DISPID_Lunetra_ShowHorizontalGrid, Variant::I4(0)).hr, S_OK);
    EXPECT_TRUE(GetProperty(control.Get(), DISPID_Lunetra_ShowHorizontalGrid).result == Variant::Bool(false));
}

TEST(LunetraProperties, ValueKeepsATimeUntilAPickRuns) {
    ComPtr<IDispatch> control = NewInitialisedControl();
    ASSERT_TRUE(control);
    ASSERT_EQ(PutProperty(control.Get(), DISPID_Lunetra_Value, Variant::Date(Ole(2024y / 5 / 20))).hr, S_OK);
    // Same year and month: no pick runs, the time of day stays.
    const lunar::OleDate evening = Ole(2024y / 5 / 3, 18 * 3600);
    ASSERT_EQ(PutProperty(control.Get(), DISPID_Lunetra_Value, Variant::Date(evening)).hr, S_OK);
    EXPECT_TRUE(GetProperty(control.Get(), DISPID_Lunetra_Value).result == Variant::Date(evening));
    // Another month: the month pick rebuilds the date.
    ASSERT_EQ(PutProperty(control.Get(), DISPID_Lunetra_Value, Variant::Date(Ole(2024y / 6 / 3, 18 * 3600))).hr, S_OK);
    EXPECT_TRUE(GetProperty(control.Get(), DISPID_Lunetra_Value).result == Variant::Date(Ole(2024y / 6 / 3)));
}

TEST(LunetraProperties, ColoursTakeSystemColoursUnsigned) {
    ComPtr<IDispatch> control = NewInitialisedControl();
    ASSERT_TRUE(control);
    Variant button_face;
    V_VT(button_face.get()) = VT_UI4;
    V_UI4(button_face.get()) = 0x8000000F;
    ASSERT_EQ(PutProperty(control.Get(), DISPID_Lunetra_TitleBackColor, button_face).hr, S_OK);
    OLE_COLOR color = 0;
    As<_Lunetra>(control.Get())->get_TitleBackColor(&color);
    EXPECT_EQ(color, 0x8000000Fu);
}

}  // namespace
