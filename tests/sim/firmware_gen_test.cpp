// The synthetic firmware files: well-formed Intel HEX that decodes to the image, whose
// checksum word behaves as each variant promises.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sim/firmware_gen.h"

namespace {

struct Decoded {
    std::vector<uint8_t> image = std::vector<uint8_t>(0xF800, 0xFF);  // 0x0800..0xFFFF
    bool endSeen = false;
    bool sawExtended = false;
    bool sawOutside = false;
    std::string error;
};

// A strict reader: every line a record, every checksum right, nothing after the end.
Decoded Decode(const std::string& text, const std::string& eol) {
    Decoded d;
    uint32_t base = 0;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find(eol, at);
        if (end == std::string::npos) {
            d.error = "unterminated line";
            return d;
        }
        const std::string line = text.substr(at, end - at);
        at = end + eol.size();
        if (d.endSeen || line.size() < 11 || line[0] != ':' || line.find('\r') != std::string::npos) {
            d.error = "bad line: " + line;
            return d;
        }
        std::vector<uint8_t> bytes;
        for (size_t i = 1; i + 1 < line.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoul(line.substr(i, 2), nullptr, 16)));
        unsigned sum = 0;
        for (uint8_t b : bytes) sum += b;
        if ((sum & 0xFF) != 0 || bytes.size() != bytes[0] + 5u) {
            d.error = "bad record: " + line;
            return d;
        }
        const uint32_t address = base + (uint32_t(bytes[1]) << 8 | bytes[2]);
        switch (bytes[3]) {
        case 0:
            for (size_t i = 0; i < bytes[0]; ++i) {
                const uint32_t a = address + static_cast<uint32_t>(i);
                if (a >= 0x0800 && a < 0x10000) d.image[a - 0x0800] = bytes[4 + i];
                else d.sawOutside = true;
            }
            break;
        case 1: d.endSeen = true; break;
        case 4:
            d.sawExtended = true;
            base = (uint32_t(bytes[4]) << 8 | bytes[5]) << 16;
            break;
        default: d.error = "unexpected type"; return d;
        }
    }
    return d;
}

struct Variant {
    const char* name;
    CFirmwareGenOptions options;
};

CFirmwareGenOptions With(void (*change)(CFirmwareGenOptions&)) {
    CFirmwareGenOptions o;
    change(o);
    return o;
}

class FirmwareVariants : public ::testing::TestWithParam<Variant> {};

TEST_P(FirmwareVariants, HexDecodesToTheImage) {
    const CFirmwareGenOptions& o = GetParam().options;
    const Decoded d = Decode(MakeFirmwareHex(o), o.crlf ? "\r\n" : "\n");
    ASSERT_TRUE(d.error.empty()) << d.error;
    EXPECT_TRUE(d.endSeen);
    EXPECT_EQ(d.sawExtended, o.extendedAddress);
    EXPECT_EQ(d.sawOutside, o.extendedAddress || o.recordBelowImage);
    EXPECT_EQ(d.image, MakeFirmwareImage(o));
}

TEST_P(FirmwareVariants, ChecksumWordAsPromised) {
    const CFirmwareGenOptions& o = GetParam().options;
    const std::vector<uint8_t> image = MakeFirmwareImage(o);
    const uint16_t word = static_cast<uint16_t>(image[4] << 8 | image[5]);
    if (!o.reconciliationWord) {
        EXPECT_EQ(word, 0);
        EXPECT_NE(ImageChecksum(image), 0) << "the program must have something to reconcile";
    } else {
        EXPECT_NE(word, 0);
        EXPECT_EQ(ImageChecksum(image) == 0, !o.wrongReconciliationWord);
    }
    EXPECT_EQ(FindFirmwareVersionTag(image), o.version);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, FirmwareVariants,
    ::testing::Values(Variant{"default", CFirmwareGenOptions{}},
                      Variant{"no word", With([](CFirmwareGenOptions& o) { o.reconciliationWord = false; })},
                      Variant{"wrong word", With([](CFirmwareGenOptions& o) { o.wrongReconciliationWord = true; })},
                      Variant{"LF, no extended records", With([](CFirmwareGenOptions& o) {
                                  o.crlf = false;
                                  o.extendedAddress = false;
                              })},
                      Variant{"full image, 32-byte records, record below", With([](CFirmwareGenOptions& o) {
                                  o.codeEnd = 0x10000;
                                  o.recordLength = 32;
                                  o.recordBelowImage = true;
                                  o.version = 205;
                              })}),
    [](const ::testing::TestParamInfo<Variant>& info) {
        std::string name;
        for (const char* c = info.param.name; *c; ++c)
            if (isalnum(static_cast<unsigned char>(*c))) name += *c;
        return name;
    });

TEST(FirmwareFiles, NamesAndWritesLikeTheMaker) {
    EXPECT_EQ(FirmwareFileName(124), "zr8_0124.hex");
    EXPECT_EQ(FirmwareFileName(7), "zr8_0007.hex");
    const std::string path = ::testing::TempDir() + FirmwareFileName(124);
    std::string error;
    ASSERT_TRUE(WriteFirmwareFile(path, CFirmwareGenOptions{}, error)) << error;
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), MakeFirmwareHex(CFirmwareGenOptions{}));
}

}  // namespace
