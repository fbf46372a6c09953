#include <gtest/gtest.h>

#include <string>

#include "core/model/event_subscriber.h"
#include "core/model/persistable.h"
#include "model_test_support.h"
#include "tests/case_name.h"

namespace {

constexpr UINT kValueMessage = WM_APP + 0x6F;

class PersistableTest : public ::testing::Test {
protected:
    PersistableTest() : key(MakeStore()) {}

    std::unique_ptr<ISettingsStore> MakeStore()
    {
        auto owned = std::make_unique<CFailingSettingsStore>();
        store = owned.get();
        return owned;
    }

    // Writes behind the values' backs, as another run of the program would have.
    void Preload(const std::wstring& name, DWORD value) { ASSERT_EQ(store->WriteDword(L"", name, value), 0u); }
    void Preload(const std::wstring& name, const std::wstring& value)
    {
        ASSERT_EQ(store->WriteString(L"", name, value), 0u);
    }
    void PreloadRaw(const std::wstring& name, DWORD type, std::vector<uint8_t> bytes)
    {
        ASSERT_EQ(store->WriteValue(L"", name, type, bytes), 0u);
    }
    unsigned Writes() const { return store->WriteCount(); }

    CFailingSettingsStore* store = nullptr;
    CAppInfoT<PersistableTest> key;
    CRecordingWindow observer;
    CEventSubscriber subscriber;
};

// Load changes the value silently and leaves the last-announced copy, so setting the
// loaded value afterwards is still announced, exactly once.
TEST_F(PersistableTest, SetAfterLoadAnnouncesOnce)
{
    Preload(L"Port", L"COM7");
    CPersistable<std::wstring, 1> port(kValueMessage, L"", L"Port");
    subscriber.Subscribe(observer.Handle(), port);

    ASSERT_EQ(port.Load(key), 0u);
    EXPECT_EQ(port.Get(), L"COM7");
    EXPECT_EQ(observer.Count(kValueMessage), 0u);

    port.Set(L"COM7");
    port.Set(L"COM7");
    EXPECT_EQ(observer.Count(kValueMessage), 1u);
}

TEST_F(PersistableTest, SavingTwiceWritesOnce)
{
    CPersistable<int, 1> trace(0, 0, L"Trace");
    trace.Set(1);
    const unsigned before = Writes();
    EXPECT_EQ(trace.Save(key), 0u);
    EXPECT_EQ(trace.Save(key), 0u);
    EXPECT_EQ(Writes() - before, 1u);

    DWORD stored = 0;
    EXPECT_EQ(store->ReadDword(L"", L"Trace", stored), 0u);
    EXPECT_EQ(stored, 1u);
}

// The stored copy starts at zero, not at the default: a non-zero default reaches the
// store at the first save, a zero default does not.
TEST_F(PersistableTest, NonZeroDefaultIsWrittenAtFirstSave)
{
    CPersistable<unsigned long, 1> retryLimit(0, 10, L"FirmwareLoadRetryLimit");
    CPersistable<int, 1> activePage(0, 0, L"ActivePage");
    CPersistable<std::wstring, 1> folder(0, L"", L"FirmwareFolder");
    EXPECT_NE(retryLimit.Load(key), 0u);  // missing: the default stays
    EXPECT_EQ(retryLimit.Get(), 10u);

    EXPECT_EQ(retryLimit.Save(key), 0u);
    EXPECT_EQ(activePage.Save(key), 0u);
    EXPECT_EQ(folder.Save(key), 0u);
    EXPECT_EQ(store->written, (std::vector<std::wstring>{L"FirmwareLoadRetryLimit"}));
}

TEST_F(PersistableTest, LoadedValueIsNotWrittenBack)
{
    Preload(L"AdvancedMode", 1);
    CPersistable<unsigned long, 1> advanced(0, 0, L"AdvancedMode");
    ASSERT_EQ(advanced.Load(key), 0u);
    const unsigned before = Writes();
    advanced.Save(key);
    EXPECT_EQ(Writes(), before);

    advanced.Set(0);
    advanced.Save(key);
    EXPECT_EQ(Writes(), before + 1);
}

TEST_F(PersistableTest, MissingValueKeepsDefaultAndReportsNotFound)
{
    CPersistable<std::wstring, 1> port(0, L"COM1", L"Port");
    EXPECT_EQ(port.Load(key), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(port.Get(), L"COM1");
}

TEST_F(PersistableTest, FailedSaveIsTriedAgainNextTime)
{
    CPersistable<int, 1> page(0, 0, L"ActivePage");
    page.Set(2);
    store->failCode = ERROR_ACCESS_DENIED;
    EXPECT_EQ(page.Save(key), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(page.StoredAt(0), 0);

    store->failCode = 0;
    EXPECT_EQ(page.Save(key), 0u);
    EXPECT_EQ(store->written, (std::vector<std::wstring>{L"ActivePage"}));
}

TEST_F(PersistableTest, NoNameMeansNeitherLoadNorSave)
{
    Preload(L"", 5u);
    for (const wchar_t* name : {static_cast<const wchar_t*>(nullptr), L""}) {
        CPersistable<int, 1> unnamed(0, 3, name);
        EXPECT_EQ(unnamed.Load(key), 0u);
        EXPECT_EQ(unnamed.Get(), 3);
        const unsigned before = Writes();
        EXPECT_EQ(unnamed.Save(key), 0u);
        EXPECT_EQ(Writes(), before);
    }
}

TEST_F(PersistableTest, SixteenElementsAreNamedOneToSixteen)
{
    CPersistable<std::wstring, 16> texts(0, L"", L"CommandText%u");
    EXPECT_EQ(texts.ElementName(0), L"CommandText1");
    EXPECT_EQ(texts.ElementName(15), L"CommandText16");

    texts.SetAt(0, L"RV;");
    texts.SetAt(15, L"SN;");
    EXPECT_EQ(texts.Save(key), 0u);
    EXPECT_EQ(store->written, (std::vector<std::wstring>{L"CommandText1", L"CommandText16"}));

    CPersistable<std::wstring, 16> reloaded(0, L"", L"CommandText%u");
    reloaded.Load(key);  // fourteen are missing, which is no reason to stop
    EXPECT_EQ(reloaded.GetAt(0), L"RV;");
    EXPECT_EQ(reloaded.GetAt(15), L"SN;");
    EXPECT_EQ(reloaded.GetAt(7), L"");
}

TEST_F(PersistableTest, SixteenElementSaveStopsAtFirstFailingWrite)
{
    CPersistable<std::wstring, 16> labels(0, L"", L"CommandCaption%u");
    for (size_t i = 0; i < 16; ++i)
        labels.SetAt(i, L"MACRO" + std::to_wstring(i + 1));
    store->failAfterWrites = 2;
    store->failCode = ERROR_DISK_FULL;

    EXPECT_EQ(labels.Save(key), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(store->written, (std::vector<std::wstring>{L"CommandCaption1", L"CommandCaption2"}));

    // What was written is not written again; the rest is.
    store->failCode = 0;
    EXPECT_EQ(labels.Save(key), 0u);
    EXPECT_EQ(store->written.size(), 16u);
    EXPECT_EQ(store->written[2], L"CommandCaption3");
}

TEST_F(PersistableTest, TextRoundTripKeepsEveryCharacter)
{
    const std::wstring folder = L"C:\\Users\\Jos\u00e9\\Orvandel \"ZR8\" \u6ce2\u5f62";
    CPersistable<std::wstring, 1> out(0, L"", L"FirmwareFolder");
    out.Set(folder);
    ASSERT_EQ(out.Save(key), 0u);
    CPersistable<std::wstring, 1> in(0, L"", L"FirmwareFolder");
    ASSERT_EQ(in.Load(key), 0u);
    EXPECT_EQ(in.Get(), folder);
}

TEST_F(PersistableTest, NegativeNumberKeepsItsBits)
{
    Preload(L"ActivePage", 0xFFFFFFFFu);
    CPersistable<int, 1> page(0, 0, L"ActivePage");
    ASSERT_EQ(page.Load(key), 0u);
    EXPECT_EQ(page.Get(), -1);
}

// Values of another type: the number read takes up to four raw bytes whatever the type;
// the text read takes only REG_SZ and REG_EXPAND_SZ.
struct ForeignTypeCase {
    const char* what;
    DWORD type;
    std::vector<uint8_t> bytes;
    bool numberLoads;
    DWORD number;  // when it loads
    bool textLoads;
    std::wstring text;
};

class PersistableForeignTypeTest : public PersistableTest,
                                   public ::testing::WithParamInterface<ForeignTypeCase> {};

TEST_P(PersistableForeignTypeTest, ReadsAsTheRegistryWould)
{
    const ForeignTypeCase& c = GetParam();
    PreloadRaw(L"Value", c.type, c.bytes);

    CPersistable<unsigned long, 1> number(0, 10, L"Value");
    const DWORD numberRc = number.Load(key);
    EXPECT_EQ(numberRc == 0, c.numberLoads) << c.what;
    EXPECT_EQ(number.Get(), c.numberLoads ? c.number : 10u) << c.what;

    CPersistable<std::wstring, 1> text(0, L"default", L"Value");
    const DWORD textRc = text.Load(key);
    EXPECT_EQ(textRc == 0, c.textLoads) << c.what;
    EXPECT_EQ(text.Get(), c.textLoads ? c.text : L"default") << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Types, PersistableForeignTypeTest,
    ::testing::Values(
        ForeignTypeCase{"dword", kRegDword, {0x0A, 0, 0, 0}, true, 10, false, L""},
        ForeignTypeCase{"one-character string", kRegSz, {'1', 0, 0, 0}, true, 0x31, true, L"1"},
        ForeignTypeCase{"longer string", kRegSz, {'4', 0, '8', 0, 0, 0}, false, 0, true, L"48"},
        ForeignTypeCase{"two raw bytes", 3 /* REG_BINARY */, {0x34, 0x12}, true, 0x1234, false, L""},
        ForeignTypeCase{"expandable string", kRegExpandSz, {'%', 0, 'A', 0, '%', 0, 0, 0}, false, 0, true,
                        L"%A%"}),
    [](const auto& info) { return CaseName(info.param.what); });

}  // namespace
