// The settings file off Windows: REGEDIT4 text, written whole and atomically.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/atomic_file.h"
#include "platform/settings_store.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

class RegFileStoreTest : public ::testing::Test {
protected:
    fs::path File() const { return m_folder.Path() / "ZR8 Utility.reg"; }
    std::unique_ptr<ISettingsStore> Open(const fs::path& file) { return OpenRegFileSettingsStore(file.u8string()); }
    std::unique_ptr<ISettingsStore> Open() { return Open(File()); }
    std::string Text() const { return CTempFolder::ReadText(File()); }
    size_t EntriesInFolder() const
    {
        size_t n = 0;
        for (const auto& entry : fs::directory_iterator(m_folder.Path())) {
            (void)entry;
            ++n;
        }
        return n;
    }

    CTempFolder m_folder;
};

TEST_F(RegFileStoreTest, WritesTheRegedit4Text)
{
    auto store = Open();
    ASSERT_EQ(store->WriteString(L"", L"Port", L"COM5"), 0u);
    ASSERT_EQ(store->WriteDword(L"", L"FirmwareLoadRetryLimit", 10), 0u);
    ASSERT_EQ(store->WriteString(L"", L"FirmwareFolder", L"C:\\Users\\\"me\"\\Orvandel \u00e4"), 0u);
    ASSERT_EQ(store->WriteDword(L"Window", L"showCmd", 1), 0u);
    ASSERT_EQ(store->WriteValue(L"", L"Raw", 3, {0xde, 0xad}), 0u);
    ASSERT_EQ(store->WriteValue(L"", L"Expand", kRegExpandSz, {'%', 0, 0, 0}), 0u);
    ASSERT_EQ(store->WriteString(L"", L"", L"default"), 0u);
    EXPECT_EQ(Text(),
              "REGEDIT4\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Orvandel\\ZR8 Utility]\n"
              "\"Port\"=\"COM5\"\n"
              "\"FirmwareLoadRetryLimit\"=dword:0000000a\n"
              "\"FirmwareFolder\"=\"C:\\\\Users\\\\\\\"me\\\"\\\\Orvandel \xC3\xA4\"\n"
              "\"Raw\"=hex:de,ad\n"
              "\"Expand\"=hex(2):25,00,00,00\n"
              "@=\"default\"\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Orvandel\\ZR8 Utility\\Window]\n"
              "\"showCmd\"=dword:00000001\n");
}

TEST_F(RegFileStoreTest, EveryValueComesBackFromTheFile)
{
    const std::vector<uint8_t> multiLine = {'a', 0, '\n', 0, 'b', 0, 0, 0};  // not one line of text
    const std::vector<uint8_t> unterminated = {'x', 0};
    const std::vector<uint8_t> shortDword = {1, 2};
    {
        auto store = Open();
        ASSERT_EQ(store->WriteString(L"", L"Text", L"back\\slash \"quoted\" \u20ac\U0001F4FB"), 0u);
        ASSERT_EQ(store->WriteDword(L"Window", L"left", 0xFFFFFFF6u), 0u);
        ASSERT_EQ(store->WriteValue(L"", L"MultiLine", kRegSz, multiLine), 0u);
        ASSERT_EQ(store->WriteValue(L"", L"Unterminated", kRegSz, unterminated), 0u);
        ASSERT_EQ(store->WriteValue(L"", L"ShortDword", kRegDword, shortDword), 0u);
        ASSERT_EQ(store->WriteValue(L"A\\B", L"Empty", 3, {}), 0u);
    }
    auto store = Open();
    std::wstring text;
    DWORD number = 0;
    EXPECT_EQ(store->ReadString(L"", L"Text", text), 0u);
    EXPECT_EQ(text, L"back\\slash \"quoted\" \u20ac\U0001F4FB");
    EXPECT_EQ(store->ReadDword(L"Window", L"left", number), 0u);
    EXPECT_EQ(number, 0xFFFFFFF6u);
    struct Raw {
        const wchar_t* key;
        const wchar_t* name;
        DWORD type;
        std::vector<uint8_t> data;
    };
    for (const Raw& raw : {Raw{L"", L"MultiLine", kRegSz, multiLine}, Raw{L"", L"Unterminated", kRegSz, unterminated},
                           Raw{L"", L"ShortDword", kRegDword, shortDword}, Raw{L"A\\B", L"Empty", 3, {}}}) {
        DWORD type = 0;
        std::vector<uint8_t> data = {0xEE};
        EXPECT_EQ(store->ReadValue(raw.key, raw.name, type, data), 0u) << raw.name;
        EXPECT_EQ(type, raw.type) << raw.name;
        EXPECT_EQ(data, raw.data) << raw.name;
    }
}

TEST_F(RegFileStoreTest, ReadsWhatOtherToolsWrite)
{
    // CRLF, a byte order mark, comments, a wrapped hex list, other keys, upper-case hex.
    CTempFolder::WriteText(File(),
                           "\xEF\xBB\xBFREGEDIT4\r\n"
                           "\r\n"
                           "; written by hand\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                           "\"Port\"=\"not ours\"\r\n"
                           "\r\n"
                           "[hkey_current_user\\software\\orvandel\\zr8 utility]\r\n"
                           "\"Port\"=\"COM7\"\r\n"
                           "\"Trace\"=dword:0000000A\r\n"
                           "\"Bytes\"=hex:01,02,\\\r\n"
                           "  03,04\r\n"
                           "this line means nothing\r\n"
                           "\"Deleted\"=-\r\n"
                           "\"Broken\"=dword:xyz\r\n");
    auto store = Open();
    std::wstring port;
    DWORD trace = 0, type = 0;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(store->ReadString(L"", L"Port", port), 0u);
    EXPECT_EQ(port, L"COM7");
    EXPECT_EQ(store->ReadDword(L"", L"Trace", trace), 0u);
    EXPECT_EQ(trace, 10u);
    EXPECT_EQ(store->ReadValue(L"", L"Bytes", type, bytes), 0u);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(store->ReadDword(L"", L"Deleted", trace), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(store->ReadDword(L"", L"Broken", trace), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegFileStoreTest, MissingFileReadsAsEmptyAndIsCreatedWithItsFolders)
{
    const fs::path file = m_folder.Path() / "config" / "Orvandel" / "ZR8 Utility.reg";
    auto store = Open(file);
    std::wstring port;
    EXPECT_EQ(store->ReadString(L"", L"Port", port), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(fs::exists(file));  // reading creates nothing
    ASSERT_EQ(store->WriteString(L"", L"Port", L"COM1"), 0u);
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(RegFileStoreTest, EachChangeReplacesTheFileWithoutLeftovers)
{
    auto store = Open();
    ASSERT_EQ(store->WriteDword(L"", L"Trace", 1), 0u);
    ASSERT_EQ(store->WriteDword(L"", L"Trace", 0), 0u);
    ASSERT_EQ(store->DeleteValue(L"", L"Trace"), 0u);
    EXPECT_EQ(EntriesInFolder(), 1u);  // no temporary files next to it
    EXPECT_EQ(Text(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvandel\\ZR8 Utility]\n");
    // Another store opened on the file sees the latest contents.
    ASSERT_EQ(store->WriteString(L"", L"Port", L"COM2"), 0u);
    std::wstring port;
    EXPECT_EQ(Open()->ReadString(L"", L"Port", port), 0u);
    EXPECT_EQ(port, L"COM2");
}

TEST_F(RegFileStoreTest, FailedWriteReportsItLeavesTheOldFileAndTheStoreAsBefore)
{
    auto store = Open();
    ASSERT_EQ(store->WriteString(L"", L"Port", L"COM1"), 0u);
    const std::string before = Text();
    // The file's place taken by a folder: the rename over it must fail.
    const fs::path blocked = m_folder.Path() / "blocked.reg";
    auto blockedStore = Open(blocked);
    fs::create_directories(blocked / "inside");
    EXPECT_NE(blockedStore->WriteString(L"", L"Port", L"COM9"), 0u);
    std::wstring port;
    EXPECT_EQ(blockedStore->ReadString(L"", L"Port", port), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(blockedStore->WriteCount(), 0u);
    EXPECT_EQ(Text(), before);
    EXPECT_EQ(EntriesInFolder(), 2u);  // the good file and the folder, no temporary

    // A folder path through a plain file cannot be created.
    auto unreachable = Open(File() / "sub" / "x.reg");
    EXPECT_NE(unreachable->WriteDword(L"", L"Trace", 1), 0u);
}

TEST_F(RegFileStoreTest, CrashBetweenWriteAndRenameLeavesTheOldFileWhole)
{
    ASSERT_EQ(Open()->WriteString(L"", L"Port", L"COM1"), 0u);
    const std::string before = Text();

    // A child process changes the value and dies once the new file is written, before it
    // replaces the old one.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFile::SetBeforeReplaceHook([](const std::wstring&) { std::_Exit(3); });
        Open()->WriteString(L"", L"Port", L"COM9");
        std::_Exit(0);  // the hook was never called
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 3) << "the write must stop in the hook";

    EXPECT_EQ(Text(), before);
    // Beside it, the temporary with the complete new text, never read as the settings.
    std::vector<fs::path> others;
    for (const auto& entry : fs::directory_iterator(m_folder.Path())) {
        if (entry.path() != File())
            others.push_back(entry.path());
    }
    ASSERT_EQ(others.size(), 1u);
    EXPECT_NE(CTempFolder::ReadText(others[0]).find("\"Port\"=\"COM9\""), std::string::npos);

    auto store = Open();
    std::wstring port;
    EXPECT_EQ(store->ReadString(L"", L"Port", port), 0u);
    EXPECT_EQ(port, L"COM1");
    ASSERT_EQ(store->WriteString(L"", L"Port", L"COM2"), 0u);
    EXPECT_EQ(Open()->ReadString(L"", L"Port", port), 0u);
    EXPECT_EQ(port, L"COM2");
}

TEST_F(RegFileStoreTest, UnreadableFileIsKeptAsideBeforeTheFirstWrite)
{
    CTempFolder::WriteText(File(), "this is not a settings file\n");
    auto store = Open();
    std::wstring port;
    EXPECT_EQ(store->ReadString(L"", L"Port", port), DWORD(ERROR_FILE_NOT_FOUND));
    ASSERT_EQ(store->WriteString(L"", L"Port", L"COM3"), 0u);
    EXPECT_EQ(CTempFolder::ReadText(File().string() + ".bad"), "this is not a settings file\n");
    EXPECT_EQ(Open()->ReadString(L"", L"Port", port), 0u);
    EXPECT_EQ(port, L"COM3");
}

}  // namespace
