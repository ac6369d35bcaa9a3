// Saving and loading through a property bag and a stream: nothing stored
// for defaults and for Value on the day of saving, each changed property
// under its name and type, missing and malformed entries giving defaults,
// and a bad stream refused without taking the host down.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "tests/win/lunetra/lunetra_test_util.h"

using namespace win32kit;

namespace {

using namespace lunetra_test;
using namespace std::chrono;

ComPtr<IPersistPropertyBag> BagOf(IUnknown* control) { return As<IPersistPropertyBag>(control); }

// A control with every property off its default.
ComPtr<IDispatch> ChangedControl() {
    ComPtr<IDispatch> control = NewInitialisedControl();
    PutProperty(control.Get(), DISPID_Lunetra_BottomBackColor, Variant::I4(0x010203));
    PutProperty(control.Get(), DISPID_Lunetra_DateBackColor, Variant::I4(0x040506));
    PutProperty(control.Get(), DISPID_Lunetra_GridLinesColor, Variant::I4(0x070809));
    PutProperty(control.Get(), DISPID_Lunetra_SelectColor, Variant::I4(0x0A0B0C));
    PutProperty(control.Get(), DISPID_Lunetra_ShowVerticalGrid, Variant::Bool(false));
    PutProperty(control.Get(), DISPID_Lunetra_ShowHorizontalGrid, Variant::Bool(false));
    PutProperty(control.Get(), DISPID_Lunetra_TitleBackColor, Variant::I4(0x0D0E0F));
    PutProperty(control.Get(), DISPID_Lunetra_WeekBackColor, Variant::I4(0x101112));
    PutProperty(control.Get(), DISPID_Lunetra_Value, Variant::Date(Ole(2024y / 2 / 10)));
    PutProperty(control.Get(), DISPID_Lunetra_ShowHolidayMarks, Variant::Bool(true));
    return control;
}

struct Stored {
    const wchar_t* name;
    Variant value;
};

const std::vector<Stored>& ChangedEntries() {
    static const std::vector<Stored> entries = {
        {L"BottomBackColor", Variant::I4(0x010203)},   {L"DateBackColor", Variant::I4(0x040506)},
        {L"GridLinesColor", Variant::I4(0x070809)},    {L"SelectColor", Variant::I4(0x0A0B0C)},
        {L"ShowVerticalGrid", Variant::Bool(false)},   {L"ShowHorizontalGrid", Variant::Bool(false)},
        {L"TitleBackColor", Variant::I4(0x0D0E0F)},    {L"WeekBackColor", Variant::I4(0x101112)},
        {L"Value", Variant::Date(Ole(2024y / 2 / 10))}, {L"ShowHolidayMarks", Variant::Bool(true)},
    };
    return entries;
}

TEST(LunetraPersistence, AllDefaultsOnTheirDayStoreNothing) {
    ComPtr<IDispatch> control = NewInitialisedControl();
    ASSERT_TRUE(control);
    MemoryBag bag;
    ASSERT_EQ(BagOf(control.Get())->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_TRUE(bag.written.empty()) << narrow(bag.written.empty() ? L"" : bag.written.front());

    // Loading the empty bag later starts on the day of loading.
    ComPtr<IDispatch> loaded = NewControl();
    ASSERT_EQ(BagOf(loaded.Get())->Load(&bag, nullptr), S_OK);
    EXPECT_TRUE(GetProperty(loaded.Get(), DISPID_Lunetra_Value).result == Variant::Date(Ole(LocalToday())));
}

TEST(LunetraPersistence, ChangedPropertiesAreSavedInOrderByNameAndType) {
    ComPtr<IDispatch> control = ChangedControl();
    ASSERT_TRUE(control);
    ASSERT_EQ(As<IPersistStreamInit>(control.Get())->IsDirty(), S_OK);
    MemoryBag bag;
    ASSERT_EQ(BagOf(control.Get())->Save(&bag, TRUE, FALSE), S_OK);
    ASSERT_EQ(bag.written.size(), ChangedEntries().size());
    for (std::size_t i = 0; i < ChangedEntries().size(); ++i) {
        const Stored& expected = ChangedEntries()[i];
        SCOPED_TRACE(narrow(expected.name));
        EXPECT_EQ(bag.written[i], expected.name) << "written in the order of the properties";
        EXPECT_TRUE(bag.entries[expected.name] == expected.value) << narrow(bag.entries[expected.name].Describe());
    }
    EXPECT_EQ(As<IPersistStreamInit>(control.Get())->IsDirty(), S_FALSE) << "saved";
}

TEST(LunetraPersistence, LoadRestoresWithoutTellingTheHost) {
    MemoryBag bag;
    ASSERT_EQ(BagOf(ChangedControl().Get())->Save(&bag, TRUE, FALSE), S_OK);

    ComPtr<IDispatch> loaded = NewControl();
    ChangeRecorder recorder;
    Connection connection(loaded.Get(), IID_IPropertyNotifySink, &recorder);
    ASSERT_EQ(BagOf(loaded.Get())->Load(&bag, nullptr), S_OK);
    const DISPID ids[] = {DISPID_Lunetra_BottomBackColor, DISPID_Lunetra_DateBackColor, DISPID_Lunetra_GridLinesColor,
                          DISPID_Lunetra_SelectColor,     DISPID_Lunetra_ShowVerticalGrid, DISPID_Lunetra_ShowHorizontalGrid,
                          DISPID_Lunetra_TitleBackColor,  DISPID_Lunetra_WeekBackColor, DISPID_Lunetra_Value,
                          DISPID_Lunetra_ShowHolidayMarks};
    for (std::size_t i = 0; i < ChangedEntries().size(); ++i) {
        SCOPED_TRACE(narrow(ChangedEntries()[i].name));
        EXPECT_TRUE(GetProperty(loaded.Get(), ids[i]).result == ChangedEntries()[i].value);
    }
    EXPECT_TRUE(recorder.changes.empty());
    EXPECT_EQ(As<IPersistStreamInit>(loaded.Get())->IsDirty(), S_FALSE);
}

TEST(LunetraPersistence, MissingAndMalformedEntriesGiveDefaults) {
    struct Case {
        const char* name;
        const wchar_t* entry;
        Variant stored;
        DISPID id;
        Variant loaded;
    };
    for (const Case& c : std::vector<Case>{
             {"colour as a word", L"DateBackColor", Variant::Str(L"blue"), DISPID_Lunetra_DateBackColor,
              Variant::I4(0xE0E0E0)},
             {"colour as digits", L"WeekBackColor", Variant::Str(L"255"), DISPID_Lunetra_WeekBackColor, Variant::I4(255)},
             {"switch as a word", L"ShowVerticalGrid", Variant::Str(L"vielleicht"), DISPID_Lunetra_ShowVerticalGrid,
              Variant::Bool(true)},
             {"switch as 0", L"ShowHorizontalGrid", Variant::I4(0), DISPID_Lunetra_ShowHorizontalGrid, Variant::Bool(false)},
             {"Value as a word", L"Value", Variant::Str(L"gestern"), DISPID_Lunetra_Value, Variant::Date(Ole(LocalToday()))},
             {"Value outside the lunar table", L"Value", Variant::Date(Ole(2100y / 1 / 1)), DISPID_Lunetra_Value,
              Variant::Date(Ole(LocalToday()))},
             {"Value as a number", L"Value", Variant::R8(Ole(2024y / 2 / 10)), DISPID_Lunetra_Value,
              Variant::Date(Ole(2024y / 2 / 10))},
             {"entry under another name", L"Farbe", Variant::I4(1), DISPID_Lunetra_SelectColor, Variant::I4(0xFFC0C0)},
         }) {
        SCOPED_TRACE(c.name);
        MemoryBag bag;
        bag.entries[c.entry] = c.stored;
        ComPtr<IDispatch> control = NewControl();
        ASSERT_EQ(BagOf(control.Get())->Load(&bag, nullptr), S_OK);
        CallResult get = GetProperty(control.Get(), c.id);
        EXPECT_TRUE(get.result == c.loaded) << narrow(get.result.Describe());
        // The control draws and answers after such a load.
        EXPECT_EQ(Text(control.Get(), DISPID_Lunetra_GetChineseYear, Ole(2024y / 2 / 10)), L"甲辰年");
    }
}

TEST(LunetraPersistence, StreamRoundTripEndsWhereItStarted) {
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
    ComPtr<IDispatch> saved = ChangedControl();
    ULARGE_INTEGER size_max = {};
    ASSERT_EQ(As<IPersistStreamInit>(saved.Get())->GetSizeMax(&size_max), S_OK);
    ASSERT_EQ(As<IPersistStreamInit>(saved.Get())->Save(stream.Get(), TRUE), S_OK);
    ULARGE_INTEGER written = {};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &written);
    EXPECT_EQ(written.QuadPart, size_max.QuadPart);
    const char marker[] = "next object";
    stream->Write(marker, sizeof(marker), nullptr);

    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    ComPtr<IDispatch> loaded = NewControl();
    ASSERT_EQ(As<IPersistStreamInit>(loaded.Get())->Load(stream.Get()), S_OK);
    char after[sizeof(marker)] = {};
    stream->Read(after, sizeof(after), nullptr);
    EXPECT_STREQ(after, marker) << "the load read exactly what the save wrote";
    EXPECT_TRUE(GetProperty(loaded.Get(), DISPID_Lunetra_WeekBackColor).result == Variant::I4(0x101112));
    EXPECT_TRUE(GetProperty(loaded.Get(), DISPID_Lunetra_Value).result == Variant::Date(Ole(2024y / 2 / 10)));
    EXPECT_TRUE(GetProperty(loaded.Get(), DISPID_Lunetra_ShowHolidayMarks).result == Variant::Bool(true));

    // A stream that is not ours is refused.
    ComPtr<IStream> foreign;
    CreateStreamOnHGlobal(nullptr, TRUE, foreign.Put());
    foreign->Write(marker, sizeof(marker), nullptr);
    foreign->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    EXPECT_TRUE(FAILED(As<IPersistStreamInit>(NewControl().Get())->Load(foreign.Get())));
}

// A page saved without the marks is saved as before they existed, and one
// saved with them starts as an older control's stream does: that control
// reads its own record and stops before the marks' record.
TEST(LunetraPersistence, TheMarksGoInARecordOfTheirOwnAfterTheFirst) {
    const auto saved = [](bool marks) {
        ComPtr<IDispatch> control = NewInitialisedControl();
        PutProperty(control.Get(), DISPID_Lunetra_ShowHolidayMarks, Variant::Bool(marks));
        ComPtr<IStream> stream;
        CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
        As<IPersistStreamInit>(control.Get())->Save(stream.Get(), TRUE);
        STATSTG stat = {};
        stream->Stat(&stat, STATFLAG_NONAME);
        std::vector<unsigned char> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
        stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
        stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
        return bytes;
    };
    const std::vector<unsigned char> nothing_changed = {'L', 'N', 'T', '2', 4, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(saved(false), nothing_changed);
    const std::vector<unsigned char> with_marks = saved(true);
    ASSERT_GT(with_marks.size(), nothing_changed.size());
    EXPECT_TRUE(std::equal(nothing_changed.begin(), nothing_changed.end(), with_marks.begin()));
    EXPECT_EQ(std::string(with_marks.begin() + 12, with_marks.begin() + 16), "LNT+");
}

// What every property of a new control holds.
void ExpectDefaults(IDispatch* control) {
    const struct {
        DISPID id;
        Variant value;
    } defaults[] = {
        {DISPID_Lunetra_BottomBackColor, Variant::I4(0xC0C0C0)}, {DISPID_Lunetra_DateBackColor, Variant::I4(0xE0E0E0)},
        {DISPID_Lunetra_GridLinesColor, Variant::I4(0x800000)},  {DISPID_Lunetra_SelectColor, Variant::I4(0xFFC0C0)},
        {DISPID_Lunetra_ShowVerticalGrid, Variant::Bool(true)},  {DISPID_Lunetra_ShowHorizontalGrid, Variant::Bool(true)},
        {DISPID_Lunetra_TitleBackColor, Variant::I4(0xC0C0C0)},  {DISPID_Lunetra_WeekBackColor, Variant::I4(0xFFFFC0)},
        {DISPID_Lunetra_Value, Variant::Date(Ole(LocalToday()))}, {DISPID_Lunetra_ShowHolidayMarks, Variant::Bool(false)},
    };
    for (const auto& expected : defaults) {
        const CallResult get = GetProperty(control, expected.id);
        EXPECT_TRUE(get.result == expected.value) << "DISPID " << expected.id << ": " << narrow(get.result.Describe());
    }
    EXPECT_EQ(Text(control, DISPID_Lunetra_GetChineseYear, Ole(2024y / 2 / 10)), L"甲辰年") << "still answers";
}

// A bag that says S_OK to every name and hands out the same value.
class SameAnswerBag final : public ComObject<IPropertyBag> {
public:
    explicit SameAnswerBag(const VARIANT& answer) : answer_(answer) {}
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR, VARIANT* value, IErrorLog*) override {
        return VariantCopy(value, const_cast<VARIANT*>(&*answer_));
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

private:
    Variant answer_;
};

TEST(LunetraPersistence, ABagAnsweringNothingUsableKeepsEveryDefault) {
    VARIANT empty = {};
    VARIANT null = {};
    V_VT(&null) = VT_NULL;
    VARIANT missing = {};  // the "no argument" error, which converts to a number
    V_VT(&missing) = VT_ERROR;
    V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
    const struct {
        const char* name;
        Variant answer;
    } cases[] = {
        {"Empty", Variant(empty)}, {"Null", Variant(null)}, {"an error", Variant(missing)}, {"empty text", Variant::Str(L"")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SameAnswerBag bag(*c.answer);
        ComPtr<IDispatch> control = NewControl();
        ASSERT_EQ(BagOf(control.Get())->Load(&bag, nullptr), S_OK);
        ExpectDefaults(control.Get());
    }
}

TEST(LunetraPersistence, ABadStreamIsRefusedAtOnceAndLeavesTheDefaults) {
    using Bytes = std::vector<unsigned char>;
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"4 GB announced", {'L', 'N', 'T', '2', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}},
        {"2 GB announced", {'L', 'N', 'T', '2', 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}},
        {"honest length, noise inside", {'L', 'N', 'T', '2', 9, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0x5A, 0x13, 0x99}},
        {"stream ends inside the body", {'L', 'N', 'T', '2', 20, 0, 0, 0, 1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ComPtr<IStream> stream;
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
        stream->Write(c.bytes.data(), static_cast<ULONG>(c.bytes.size()), nullptr);
        stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
        ComPtr<IDispatch> control = ChangedControl();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(FAILED(As<IPersistStreamInit>(control.Get())->Load(stream.Get())));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        ExpectDefaults(control.Get());
    }
}

}  // namespace
