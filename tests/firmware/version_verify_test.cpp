#include <gtest/gtest.h>

#include "core/text/error_codes.h"
#include "firmware/version_verify.h"
#include "loader_fixture.h"
#include "tests/case_name.h"

namespace {

struct VersionCase {
    unsigned short reported;
    DWORD result;
    std::vector<std::wstring> lines;  // "%f" stands for the firmware path
};

class VerifyVersionTest : public LoaderTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VerifyVersionTest, ComparesTheRadiosVersionWithTheFileName) {
    const VersionCase& c = GetParam();
    CFirmwareGenOptions firmware;
    firmware.version = 117;
    Prepare(firmware);
    machine->SetOwnerWindow(dialog.Handle());
    model->m_mcuVersion.Set(c.reported);
    EXPECT_EQ(VerifyVersion(*machine, L"MCU", firmwarePath), c.result);
    std::vector<std::wstring> expected;
    for (std::wstring line : c.lines) {
        const size_t at = line.find(L"%f");
        if (at != std::wstring::npos) line.replace(at, 2, firmwarePath);
        expected.push_back(line);
    }
    EXPECT_EQ(lines, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VerifyVersionTest,
    ::testing::Values(VersionCase{117, 0, {L"MCU firmware version verified"}},
                      VersionCase{116, Zr8Error::VersionVerifyFailed,
                                  {L"Sent MCU firmware file %f\r\nZR8 responded with version 01.16",
                                   L"Firmware version verify failed. Reload MCU firmware."}},
                      VersionCase{0, Zr8Error::VersionVerifyFailed,
                                  {L"Sent MCU firmware file %f\r\nZR8 responded with version ??.??",
                                   L"Firmware version verify failed. Reload MCU firmware."}}),
    [](const auto& info) { return "RadioReports" + std::to_string(info.param.reported); });

// The whole road: the radio restarts into a firmware that reports another version than
// the file's name, and the check after the fresh contact notices.
TEST_F(LoaderTest, ARadioReportingAnotherVersionFailsTheCheck) {
    simOptions.loadVersion = 116;
    simOptions.baudModel = BaudModel::Instant;  // also quick where the clock is real
    simOptions.flashMs = 0;
    CFirmwareGenOptions firmware;
    firmware.version = 117;
    Prepare(firmware);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion(120 * 1000));
    ASSERT_EQ(completions, std::vector<DWORD>{0});
    EXPECT_EQ(VerifyVersion(*machine, L"MCU", firmwarePath), Zr8Error::VersionVerifyFailed);
    EXPECT_EQ(lines.back(), L"Firmware version verify failed. Reload MCU firmware.");
}

}  // namespace
