#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/error_codes.h"
#include "firmware/checksum_reconciliation.h"
#include "firmware/hex_image.h"
#include "hex_test_text.h"

using namespace HexText;

namespace {

// An image whose word at 0x0804 is `word` and whose checksum is `sum`: a tuning word
// at 0x1000 makes up the difference from the blank image's 0x8400.
std::string ImageText(uint16_t word, uint16_t sum) {
    const uint16_t without = uint16_t(0x8400 - 2 * 0xFFFF + word);
    const uint16_t tuning = uint16_t(sum - without);
    return Lines({Data(0x0804, {uint8_t(word >> 8), uint8_t(word & 0xFF)}),
                  Data(0x1000, {uint8_t(tuning >> 8), uint8_t(tuning & 0xFF)}), End()});
}

struct Reconciled {
    DWORD result;
    std::vector<std::wstring> lines;
    uint8_t high, low;  // the bytes at 0x0804 and 0x0805 afterwards
    uint16_t checksum;  // afterwards
};

Reconciled Reconcile(uint16_t word, uint16_t sum) {
    const std::string text = ImageText(word, sum);
    CHexImage image;
    EXPECT_TRUE(image.LoadFromMemory(reinterpret_cast<const uint8_t*>(text.data()), text.size(), L"fw.hex"));
    EXPECT_EQ(image.Checksum(), sum);
    Reconciled r{};
    r.result = ReconcileChecksum(image, L"MCU", [&r](const std::wstring& line) { r.lines.push_back(line); });
    r.high = image.At(0x0804);
    r.low = image.At(0x0805);
    r.checksum = image.Checksum();
    return r;
}

TEST(ReconcileChecksum, ZeroWordIsComputedAndLoggedLittleEndian) {
    const Reconciled r = Reconcile(0x0000, 0x1234);
    EXPECT_EQ(r.result, 0u);
    EXPECT_EQ(r.high, 0xED);
    EXPECT_EQ(r.low, 0xCC);
    EXPECT_EQ(r.checksum, 0);
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0], L"MCU firmware file fw.hex checksum reconciliation value is 0x0");
    EXPECT_EQ(r.lines[1], L"MCU computed checksum reconciliation value is 0xCCED");
}

TEST(ReconcileChecksum, TheFilesOwnWordMustBalanceTheImage) {
    const Reconciled good = Reconcile(0x1234, 0x0000);
    EXPECT_EQ(good.result, 0u);
    ASSERT_EQ(good.lines.size(), 1u);
    EXPECT_EQ(good.lines[0], L"MCU firmware file fw.hex checksum reconciliation value is 0x3412");

    const Reconciled bad = Reconcile(0x1234, 0x00A0);
    EXPECT_EQ(bad.result, Zr8Error::HexImageChecksum);
    EXPECT_EQ(bad.high, 0x12);  // left as the file had it
    ASSERT_EQ(bad.lines.size(), 2u);
    EXPECT_EQ(bad.lines[1], L"File does not checksum to zero. Checksum is 0xA0");
}

TEST(ReconcileChecksum, ZeroWordOnABalancedImageIsSentUnchangedWithANote) {
    const Reconciled r = Reconcile(0x0000, 0x0000);
    EXPECT_EQ(r.result, 0u);
    EXPECT_EQ(r.high, 0);
    EXPECT_EQ(r.low, 0);
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[1],
              L"Checksum reconciliation value is zero; alert Orvandel\r\n\r\n"
              L"Note: A zero checksum reconciliation value should occur only during firmware development.");
}

}  // namespace
