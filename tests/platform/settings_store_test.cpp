// The stores every platform has, through the one interface: the in-memory store, the
// .reg file store, and on Windows the registry itself (in the test's own Wine prefix).
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "platform/settings_store.h"
#include "temp_folder.h"

namespace {

struct StoreKind {
    const char* name;
    std::function<std::unique_ptr<ISettingsStore>()> open;
};

// A fresh .reg file per store: each test starts empty.
std::unique_ptr<ISettingsStore> OpenTempRegFile()
{
    static CTempFolder folder;
    static std::atomic<int> counter{0};
    return OpenRegFileSettingsStore(folder.Utf8Path() + "/settings" + std::to_string(counter++) + ".reg");
}

class SettingsStoreTest : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override { store = GetParam().open(); }
    void TearDown() override
    {
        // The registry outlives the test; leave nothing behind there.
        for (const wchar_t* name : {L"PtNumber", L"PtText", L"PtRaw", L"PtOther"}) {
            store->DeleteValue(L"", name);
            store->DeleteValue(kSub, name);
        }
    }
    static constexpr const wchar_t* kSub = L"PlatformTest";
    std::unique_ptr<ISettingsStore> store;
};

TEST_P(SettingsStoreTest, TypedValuesRoundTripInTheKeyAndASubKey)
{
    for (const std::wstring subKey : {L"", L"PlatformTest"}) {
        ASSERT_EQ(store->WriteDword(subKey, L"PtNumber", 0xE2000052u), 0u);
        ASSERT_EQ(store->WriteString(subKey, L"PtText", L"C:\\Orvandel \"ZR8\" \u00e4\u20ac\U0001F4FB"), 0u);
        DWORD number = 0;
        std::wstring text;
        EXPECT_EQ(store->ReadDword(subKey, L"PtNumber", number), 0u);
        EXPECT_EQ(number, 0xE2000052u);
        EXPECT_EQ(store->ReadString(subKey, L"PtText", text), 0u);
        EXPECT_EQ(text, L"C:\\Orvandel \"ZR8\" \u00e4\u20ac\U0001F4FB");

        DWORD type = 0;
        std::vector<uint8_t> data;
        ASSERT_EQ(store->ReadValue(subKey, L"PtText", type, data), 0u);
        EXPECT_EQ(type, kRegSz);
        ASSERT_GE(data.size(), 2u);
        EXPECT_EQ(data[data.size() - 1], 0);  // stored with its terminating null
        EXPECT_EQ(data[data.size() - 2], 0);
    }
    EXPECT_EQ(store->WriteCount(), 4u);
}

TEST_P(SettingsStoreTest, MissingValuesAndKeysAreFileNotFound)
{
    DWORD number = 99;
    std::wstring text = L"default";
    EXPECT_EQ(store->ReadDword(L"", L"PtNumber", number), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(store->ReadString(L"NoSuchKey", L"PtText", text), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(number, 99u);
    EXPECT_EQ(text, L"default");
    EXPECT_EQ(store->DeleteValue(L"", L"PtNumber"), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(store->WriteCount(), 0u);
}

TEST_P(SettingsStoreTest, DeleteRemovesTheValue)
{
    ASSERT_EQ(store->WriteDword(kSub, L"PtNumber", 1), 0u);
    EXPECT_EQ(store->DeleteValue(kSub, L"PtNumber"), 0u);
    DWORD number = 0;
    EXPECT_EQ(store->ReadDword(kSub, L"PtNumber", number), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_P(SettingsStoreTest, NamesIgnoreCase)
{
    ASSERT_EQ(store->WriteDword(L"", L"PtNumber", 1), 0u);
    ASSERT_EQ(store->WriteDword(L"", L"PTNUMBER", 2), 0u);  // the same value
    DWORD number = 0;
    EXPECT_EQ(store->ReadDword(L"", L"ptnumber", number), 0u);
    EXPECT_EQ(number, 2u);
    EXPECT_EQ(store->ReadDword(L"platformtest", L"PtNumber", number), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_P(SettingsStoreTest, NumberReadTakesRawBytesLikeAFourByteBuffer)
{
    // A short value of another type fills only the low bytes; a longer one does not fit.
    ASSERT_EQ(store->WriteValue(L"", L"PtRaw", 3, {0x34, 0x12}), 0u);
    DWORD number = 0xAABBCCDDu;
    EXPECT_EQ(store->ReadDword(L"", L"PtRaw", number), 0u);
    EXPECT_EQ(number, 0xAABB1234u);

    ASSERT_EQ(store->WriteValue(L"", L"PtRaw", 3, {1, 2, 3, 4, 5}), 0u);
    EXPECT_EQ(store->ReadDword(L"", L"PtRaw", number), DWORD(ERROR_MORE_DATA));
    EXPECT_EQ(number, 0xAABB1234u);
}

TEST_P(SettingsStoreTest, StringReadAcceptsOnlyStringTypes)
{
    ASSERT_EQ(store->WriteDword(L"", L"PtNumber", 5), 0u);
    std::wstring text = L"kept";
    EXPECT_EQ(store->ReadString(L"", L"PtNumber", text), DWORD(ERROR_UNSUPPORTED_TYPE));
    EXPECT_EQ(text, L"kept");

    // REG_EXPAND_SZ is read as text; a value without its terminator too.
    const std::vector<uint8_t> expand = {'%', 0, 'A', 0, '%', 0, 0, 0};
    ASSERT_EQ(store->WriteValue(L"", L"PtOther", kRegExpandSz, expand), 0u);
    EXPECT_EQ(store->ReadString(L"", L"PtOther", text), 0u);
    EXPECT_EQ(text, L"%A%");
    ASSERT_EQ(store->WriteValue(L"", L"PtOther", kRegSz, {'h', 0, 'i', 0}), 0u);
    EXPECT_EQ(store->ReadString(L"", L"PtOther", text), 0u);
    EXPECT_EQ(text, L"hi");
}

TEST_P(SettingsStoreTest, EmptyStringAndLongString)
{
    std::wstring text = L"x";
    ASSERT_EQ(store->WriteString(L"", L"PtText", L""), 0u);
    EXPECT_EQ(store->ReadString(L"", L"PtText", text), 0u);
    EXPECT_EQ(text, L"");
    const std::wstring folder(1000, L'f');  // well past a MAX_PATH buffer
    ASSERT_EQ(store->WriteString(L"", L"PtText", folder), 0u);
    EXPECT_EQ(store->ReadString(L"", L"PtText", text), 0u);
    EXPECT_EQ(text, folder);
}

std::vector<StoreKind> Kinds()
{
    std::vector<StoreKind> kinds = {{"Memory", [] { return CreateMemorySettingsStore(); }},
                                    {"RegFile", [] { return OpenTempRegFile(); }}};
#ifdef _WIN32
    kinds.push_back({"Registry", [] { return OpenPlatformSettingsStore(); }});
#endif
    return kinds;
}

INSTANTIATE_TEST_SUITE_P(Stores, SettingsStoreTest, ::testing::ValuesIn(Kinds()),
                         [](const ::testing::TestParamInfo<StoreKind>& info) { return info.param.name; });

#ifdef _WIN32
TEST(RegistrySettingsStoreTest, ValuesReachTheRealRegistryKey)
{
    auto store = OpenPlatformSettingsStore();
    ASSERT_EQ(store->WriteDword(L"Window", L"PtNumber", 10), 0u);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Orvandel\\ZR8 Utility\\Window", 0, KEY_READ, &key), 0);
    DWORD type = 0, value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExW(key, L"PtNumber", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), 0);
    RegCloseKey(key);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(value, 10u);
    EXPECT_EQ(store->DeleteValue(L"Window", L"PtNumber"), 0u);
}
#endif

}  // namespace
