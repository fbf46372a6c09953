#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/text/error_codes.h"
#include "firmware/hex_file_reader.h"
#include "firmware/hex_image.h"
#include "hex_test_text.h"
#include "platform/mapped_file.h"

using namespace HexText;

namespace {

std::vector<uint8_t> Bytes(uint8_t first, size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = uint8_t(first + i);
    return bytes;
}

struct LoadCase {
    const char* what;
    std::string text;
    DWORD code;
    unsigned line;  // checked on failure
    std::map<uint32_t, std::vector<uint8_t>> stored;  // every other byte must read 0xFF
};

std::vector<LoadCase> LoadCases() {
    const std::string G = Data(0x0810, Bytes(0, 16)).replace(20, 1, "G");
    std::string badSum = Data(0x0900, Bytes(1, 4));
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    const std::string lower = [] {
        std::string r = Data(0x0A00, {0xAB, 0xCD, 0xEF});
        for (char& c : r) c = char(std::tolower(static_cast<unsigned char>(c)));
        return r;
    }();
    const std::string split = Data(0x0840, Bytes(0x40, 8));
    return {
        {"data outside the window is left out", Lines({Data(0x0000, Bytes(1, 16)), Data(0x07F0, Bytes(1, 16)),
                                                       ExtendedLinear(1), Data(0x0000, Bytes(1, 16)),
                                                       ExtendedLinear(0), Data(0xFFFF, {}), End()}),
         0, 0, {}},
        {"a record starting below the window is dropped whole", Lines({Data(0x07F8, Bytes(1, 16)), End()}), 0, 0, {}},
        {"16 bytes at 0xFFF8 store 8", Lines({Data(0xFFF8, Bytes(0x10, 16)), End()}), 0, 0,
         {{0xFFF8, Bytes(0x10, 8)}}},
        {"blank, comment and lowercase lines",
         Lines({"", "; built by hand", "  " + Data(0x0C00, {1, 2}), "x:" + Data(0x0D00, {3}).substr(1), lower, "",
                End()}),
         0, 0, {{0x0A00, {0xAB, 0xCD, 0xEF}}}},
        {"line feeds only", Lines({Data(0x0800, {9, 8, 7}), End()}, "\n"), 0, 0, {{0x0800, {9, 8, 7}}}},
        {"a record split over two lines", Lines({split.substr(0, 9), split.substr(9), End()}), 0, 0,
         {{0x0840, Bytes(0x40, 8)}}},
        {"extended segment address", Lines({ExtendedSegment(0x0100), Data(0x0010, {5, 6}), End()}), 0, 0,
         {{0x1010, {5, 6}}}},
        {"extended linear 0001 drops what follows until 0000",
         Lines({ExtendedLinear(1), Data(0x0800, Bytes(1, 16)), ExtendedLinear(0), Data(0x0900, {7}), End()}), 0, 0,
         {{0x0900, {7}}}},
        {"start address records are ignored",
         Lines({Record(3, 0, {0, 0, 0x08, 0}), Record(5, 0, {0, 0, 0x08, 0}), Data(0x0800, {1}), End()}), 0, 0,
         {{0x0800, {1}}}},
        {"text after the end record is never read", Lines({Data(0x0800, {1}), End(), "GARBAGE", ":zz"}), 0, 0,
         {{0x0800, {1}}}},
        {"a G inside a record", Lines({Data(0x0800, {1}), "", G, End()}), Zr8Error::UnexpectedHexCharacter, 3, {}},
        {"no end record", Lines({Data(0x0800, {1}), Data(0x0801, {2})}), Zr8Error::HexNoEndRecord, 2, {}},
        {"a line checksum error", Lines({Data(0x0800, {1}), badSum, End()}), Zr8Error::HexLineChecksum, 2, {}},
        {"an unknown record type", Lines({Record(6, 0x0800, {1}), End()}), Zr8Error::HexRecordType, 1, {}},
        {"the file ends inside a record", Lines({Data(0x0800, {1})}) + ":1008", Zr8Error::UnexpectedHexCharacter, 2, {}},
        {"an extended linear address of three bytes takes the first two",
         Lines({Record(4, 0, {0x00, 0x00, 0x07}), Data(0x0900, {4}), Record(2, 0, {0x00, 0x10, 0xFF}),
                Data(0x0900, {5}), End()}),
         0, 0, {{0x0900, {4}}, {0x0A00, {5}}}},
        {"an extended address of one byte", Lines({Record(4, 0, {1}), End()}), Zr8Error::HexRecordLength, 1, {}},
        {"an extended segment address without data", Lines({Data(0x0800, {1, 2}), Record(2, 0, {}), End()}),
         Zr8Error::HexRecordLength, 2, {}},
    };
}

class HexImageLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(HexImageLoad, BuildsTheWindowOrFailsWithItsCode) {
    const LoadCase& c = GetParam();
    CScratchFolder folder;
    const std::wstring path = folder.Write("zr8_0100.hex", c.text);
    CHexImage image;
    const bool loaded = image.Load(path);
    const DWORD code = GetLastError();
    EXPECT_EQ(image.FileName(), path);
    if (c.code != 0) {
        ASSERT_FALSE(loaded);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(image.Line(), c.line);
        EXPECT_FALSE(image.IsLoaded());
        return;
    }
    ASSERT_TRUE(loaded) << std::hex << code << " at line " << image.Line();
    ASSERT_EQ(image.Size(), 63488u);
    std::vector<uint8_t> expected(CHexImage::kSize, 0xFF);
    for (const auto& [address, bytes] : c.stored)
        for (size_t i = 0; i < bytes.size(); ++i) expected[address - 0x0800 + i] = bytes[i];
    std::vector<uint8_t> actual(image.Bytes(), image.Bytes() + image.Size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(int(actual[i]), int(expected[i])) << "at address 0x" << std::hex << (0x0800 + i);
}

INSTANTIATE_TEST_SUITE_P(Cases, HexImageLoad, ::testing::ValuesIn(LoadCases()),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(HexImageFile, MissingAndEmptyFilesFailWithTheSystemsCode) {
    CScratchFolder folder;
    CHexImage image;
    EXPECT_FALSE(image.Load((folder.Path() / "zr8_0100.hex").wstring()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(image.Load(folder.Write("empty.hex", "")));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_INVALID));
    EXPECT_FALSE(image.IsLoaded());
}

TEST(HexImageFile, AFailedLoadLeavesNoImageBehind) {
    CScratchFolder folder;
    CHexImage image;
    ASSERT_TRUE(image.Load(folder.Write("good.hex", Lines({Data(0x0800, {1}), End()}))));
    EXPECT_FALSE(image.Load(folder.Write("bad.hex", Lines({Data(0x0800, {1})}))));
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_EQ(image.Size(), 0u);
}

TEST(HexImageChecksum, SumsBigEndianWords) {
    CHexImage image;
    const std::string blank = Lines({End()});
    ASSERT_TRUE(image.LoadFromMemory(reinterpret_cast<const uint8_t*>(blank.data()), blank.size(), L"blank"));
    // 31744 words of 0xFFFF
    EXPECT_EQ(image.Checksum(), 0x8400);
    const std::string one = Lines({Data(0x0800, {0x12, 0x34}), End()});
    ASSERT_TRUE(image.LoadFromMemory(reinterpret_cast<const uint8_t*>(one.data()), one.size(), L"one"));
    EXPECT_EQ(image.Checksum(), uint16_t(0x8400 - 0xFFFF + 0x1234));
}

// Whatever a record claims, nothing lands outside the destination: the window's low
// edge drops, its high edge and the destination's end clip.
TEST(HexFileReader, NeverWritesOutsideTheDestination) {
    std::vector<uint8_t> memory(96, 0xA5);
    uint8_t* destination = memory.data() + 16;
    const std::string text = Lines({Data(0x0FF0, Bytes(1, 32)), Data(0x1030, Bytes(0x30, 32)),
                                    ExtendedLinear(0xFFFF), Data(0xFFFF, Bytes(1, 255)), End()});
    CHexFileReader reader;
    reader.Attach(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    reader.SetDestination(0x1000, 0x2000, destination, destination + 64);
    ASSERT_EQ(reader.ReadToEnd(), 0u);
    for (size_t i = 0; i < memory.size(); ++i) {
        const bool written = i >= 16 + 0x30 && i < 16 + 64;
        EXPECT_EQ(int(memory[i]), written ? int(i - 16) : 0xA5) << "at " << i;
    }
}

TEST(VerifyHexFile, ChecksSyntaxAndEndRecordButNotAddresses) {
    CScratchFolder folder;
    EXPECT_TRUE(VerifyHexFile(folder.Write("far.hex", Lines({ExtendedLinear(2), Data(0, {1, 2}), End()}))));
    EXPECT_FALSE(VerifyHexFile(folder.Write("noend.hex", Lines({Data(0x0800, {1})}))));
    EXPECT_EQ(GetLastError(), Zr8Error::HexNoEndRecord);
    EXPECT_FALSE(VerifyHexFile(folder.Write("g.hex", Lines({":0G08000001", End()}))));
    EXPECT_EQ(GetLastError(), Zr8Error::UnexpectedHexCharacter);
    EXPECT_FALSE(VerifyHexFile((folder.Path() / "missing.hex").wstring()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

}  // namespace
